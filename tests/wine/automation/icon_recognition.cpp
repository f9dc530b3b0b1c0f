#include "automation/icon_recognition.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <utility>

#include "automation/unique_handle.h"

namespace dovrel::automation {

namespace {

constexpr int kIconSize = 32;
constexpr int kChannelTolerance = 40;
constexpr int kMaxMismatchedPixels = kIconSize * kIconSize / 25;

// A 32-bit top-down bitmap with its own memory DC.
class Canvas {
public:
    explicit Canvas(HDC compatibleWith) : dc_(CreateCompatibleDC(compatibleWith)) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = kIconSize;
        info.bmiHeader.biHeight = -kIconSize;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_.reset(CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        pixels_ = static_cast<std::uint32_t*>(bits);
        if (dc_ && bitmap_)
            previous_ = SelectObject(dc_.get(), bitmap_.get());
    }
    ~Canvas() {
        if (previous_)
            SelectObject(dc_.get(), previous_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    bool ok() const { return dc_ && bitmap_ && pixels_; }
    HDC dc() const { return dc_.get(); }
    std::uint32_t pixel(int i) const { return pixels_[i]; }

private:
    UniqueDc dc_;
    UniqueBitmap bitmap_;
    std::uint32_t* pixels_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

bool Differs(std::uint32_t a, std::uint32_t b) {
    for (int shift = 0; shift < 24; shift += 8) {
        const int ca = static_cast<int>((a >> shift) & 0xFF);
        const int cb = static_cast<int>((b >> shift) & 0xFF);
        if (std::abs(ca - cb) > kChannelTolerance)
            return true;
    }
    return false;
}

COLORREF ColourOf(std::uint32_t dibPixel) {
    return RGB((dibPixel >> 16) & 0xFF, (dibPixel >> 8) & 0xFF, dibPixel & 0xFF);
}

// Pixels where `icon`, drawn on the box's background, differs from the screen.
int MismatchedPixels(const Canvas& captured, HICON icon) {
    const Canvas trial(captured.dc());
    if (!trial.ok() || !icon)
        return kIconSize * kIconSize;
    // The corner pixel is background: the system icons leave their corners clear.
    const UniqueBrush background(CreateSolidBrush(ColourOf(captured.pixel(0))));
    const RECT all{0, 0, kIconSize, kIconSize};
    FillRect(trial.dc(), &all, background.get());
    DrawIconEx(trial.dc(), 0, 0, icon, kIconSize, kIconSize, 0, nullptr, DI_NORMAL);
    GdiFlush();
    int mismatched = 0;
    for (int i = 0; i < kIconSize * kIconSize; ++i)
        mismatched += Differs(captured.pixel(i), trial.pixel(i)) ? 1 : 0;
    return mismatched;
}

bool HasIcon(HWND iconControl) {
    DWORD_PTR icon = 0;
    return SendMessageTimeoutW(iconControl, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 5000, &icon) &&
           icon != 0;
}

} // namespace

MessageBoxIcon RecogniseIconOnScreen(HWND iconControl) {
    if (!iconControl || !IsWindowVisible(iconControl) || !HasIcon(iconControl))
        return MessageBoxIcon::None;
    RECT r{};
    GetWindowRect(iconControl, &r);
    const ScreenDc screen;
    const Canvas captured(screen.get());
    if (!captured.ok())
        return MessageBoxIcon::Unrecognised;
    BitBlt(captured.dc(), 0, 0, kIconSize, kIconSize, screen.get(), r.left, r.top, SRCCOPY);
    GdiFlush();

    const std::array<std::pair<MessageBoxIcon, LPCWSTR>, 4> candidates{{
        {MessageBoxIcon::Critical, IDI_HAND},
        {MessageBoxIcon::Information, IDI_ASTERISK},
        {MessageBoxIcon::Exclamation, IDI_EXCLAMATION},
        {MessageBoxIcon::Question, IDI_QUESTION},
    }};
    MessageBoxIcon best = MessageBoxIcon::Unrecognised;
    int fewest = kMaxMismatchedPixels + 1;
    for (const auto& [kind, resource] : candidates) {
        const int mismatched = MismatchedPixels(captured, LoadIconW(nullptr, resource));
        if (mismatched < fewest) {
            fewest = mismatched;
            best = kind;
        }
    }
    return best;
}

} // namespace dovrel::automation
