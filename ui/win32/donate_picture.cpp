#include "ui/win32/donate_picture.h"

#include <windows.h>

#include <objidl.h>
#include <ole2.h>
#include <olectl.h>

#include <cstring>
#include <memory>

#include "platform/platform_error.h"
#include "platform/win32/system_text.h"
#include "ui/win32/donate_picture_data.h"

namespace dovrel {

namespace {

constexpr wchar_t kOperation[] = L"Decoding the donation picture";

struct ComReleaser {
    void operator()(IUnknown* object) const { object->Release(); }
};
template <typename T> using ComPtr = std::unique_ptr<T, ComReleaser>;

struct GlobalFreer {
    void operator()(HGLOBAL memory) const { GlobalFree(memory); }
};
using UniqueGlobal = std::unique_ptr<std::remove_pointer_t<HGLOBAL>, GlobalFreer>;

[[noreturn]] void Fail(DWORD code) {
    throw PlatformError(kOperation, SystemErrorText(code));
}

// A stream over a private copy of the GIF bytes; the stream frees the copy.
ComPtr<IStream> StreamOverGif() {
    UniqueGlobal memory(GlobalAlloc(GMEM_MOVEABLE, kDonatePictureGifSize));
    if (!memory)
        Fail(GetLastError());
    void* bytes = GlobalLock(memory.get());
    if (!bytes)
        Fail(GetLastError());
    std::memcpy(bytes, kDonatePictureGif, kDonatePictureGifSize);
    GlobalUnlock(memory.get());

    IStream* stream = nullptr;
    const HRESULT result = CreateStreamOnHGlobal(memory.get(), TRUE, &stream);
    if (FAILED(result))
        Fail(static_cast<DWORD>(result));
    memory.release(); // the stream owns it now
    return ComPtr<IStream>(stream);
}

} // namespace

UniqueBitmap LoadDonatePicture() {
    ComPtr<IStream> stream = StreamOverGif();
    IPicture* raw = nullptr;
    HRESULT result = OleLoadPicture(stream.get(), static_cast<LONG>(kDonatePictureGifSize), FALSE,
                                    IID_IPicture, reinterpret_cast<void**>(&raw));
    if (FAILED(result) || !raw)
        Fail(static_cast<DWORD>(result));
    ComPtr<IPicture> picture(raw);

    SHORT type = PICTYPE_UNINITIALIZED;
    OLE_HANDLE handle = 0;
    result = picture->get_Type(&type);
    if (SUCCEEDED(result))
        result = picture->get_Handle(&handle);
    if (FAILED(result))
        Fail(static_cast<DWORD>(result));
    if (type != PICTYPE_BITMAP || handle == 0)
        Fail(ERROR_INVALID_DATA);

    // The picture owns its bitmap; keep a copy of our own so the picture can go.
    UniqueBitmap copy(static_cast<HBITMAP>(CopyImage(
        reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle)), IMAGE_BITMAP, 0, 0, 0)));
    if (!copy)
        Fail(GetLastError());
    return copy;
}

void PaintPicture(HWND image, HDC dc, HBITMAP picture) {
    RECT box{};
    GetClientRect(image, &box);
    auto brush = reinterpret_cast<HBRUSH>(SendMessageW(GetParent(image), WM_CTLCOLORSTATIC,
                                                       reinterpret_cast<WPARAM>(dc),
                                                       reinterpret_cast<LPARAM>(image)));
    FillRect(dc, &box, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));

    BITMAP size{};
    if (!GetObjectW(picture, sizeof(size), &size))
        return;
    struct MemoryDcDeleter {
        void operator()(HDC memory) const { DeleteDC(memory); }
    };
    std::unique_ptr<std::remove_pointer_t<HDC>, MemoryDcDeleter> memory(CreateCompatibleDC(dc));
    if (!memory)
        return;
    HGDIOBJ previous = SelectObject(memory.get(), picture);
    BitBlt(dc, 0, 0, size.bmWidth, size.bmHeight, memory.get(), 0, 0, SRCCOPY);
    SelectObject(memory.get(), previous);
}

} // namespace dovrel
