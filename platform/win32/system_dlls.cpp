#include "platform/win32/system_dlls.h"

#include <utility>

#include "platform/platform_error.h"
#include "platform/win32/system_text.h"

namespace dovrel {

namespace {

struct PreloadedDll {
    DllStage stage;
    const wchar_t* name; // without folder or extension
};

// Every DLL that Windows' own code may load by bare name while the program
// runs, and that is not one of XP's KnownDLLs (those XP maps from the system
// directory whatever the search path says). Sources: the DLLs that 7-Zip's
// installers load by full path on systems without SetDefaultDllDirectories
// (LZMA SDK, DllSecur.c), and Wine's loader trace (WINEDEBUG=+loaddll,+module)
// of every action of the window, both orders of picture and dialog, with a
// look-alike of every DLL of the system directory beside the program.
constexpr PreloadedDll kPreloaded[] = {
    // Trace and 7-Zip: user32 loads the theme DLL when the first window is made.
    {DllStage::Window, L"uxtheme"},
    // Trace: the theme DLL takes its blending functions by bare name the first
    // time it blends (the file dialog's list under the pointer does), and it
    // may draw anything from the first window on.
    {DllStage::Window, L"msimg32"},
    // The common controls, which the dialog's and the shell's DLLs import: XP
    // manages them side by side, never as a KnownDLL, so they must be in the
    // process before any DLL that imports them.
    {DllStage::Shell, L"comctl32"},
    // 7-Zip: loaded by bare name by COM (the class catalogue), the shell
    // (profiles, devices, application compatibility, properties) and the
    // controls (accessibility) as the dialog and the shell do their work.
    // propsys is Vista's and later: XP skips it, at the cost of one look.
    {DllStage::Shell, L"clbcatq"},
    {DllStage::Shell, L"userenv"},
    {DllStage::Shell, L"setupapi"},
    {DllStage::Shell, L"apphelp"},
    {DllStage::Shell, L"oleacc"},
    {DllStage::Shell, L"propsys"},
};
// Not on the list, with the trace's evidence:
// - dwmapi and cryptbase (7-Zip: the theme DLL's and advapi32's from Vista and
//   Windows 7 on): XP has neither, the program refuses those systems, and
//   under Wine dwmapi would be one more DLL loaded at every start.
// - version, ole32, rpcrt4, shell32, comdlg32: KnownDLLs of XP. (Wine has no
//   KnownDLLs: its imm32 takes ole32 and rpcrt4 by bare name at the first
//   activation, which XP would take from the system directory.)
// - shlwapi, shcore, winspool.drv, compstui, oleaut32: imports of comdlg32,
//   shell32 and oleacc, which the program loads by full path with the altered
//   search path, so they are looked for in the system directory first; on XP
//   the imports of a KnownDLL are known too.
// - winex11.drv, Wine's display driver, which its user32 loads by bare name for
//   the first thing it draws. Loaded first by full path, it is safe, but then
//   the first window of a new desktop was sometimes shown without its frame
//   (7 of 37 starts, against 0 of 18 without), so it is left to Wine. XP has
//   no such DLL.
// - combase, which Wine's ole32 imports when its imm32 brings ole32 in, as the
//   window is first activated. Loaded at start, it moves that work before the
//   window shows: start-up about 5 % slower than the window alone (the
//   benchmark's limit is 3 %). XP has no such DLL, and its ole32 is known.
//   Likewise coml2, the structured storage that Wine 10's ole32 imports.
// - kernelbase, ucrtbase, sechost, zlib1, win32u, imm32: imported by Wine's own
//   system DLLs, or loaded by its user32 as it starts, before any of the
//   program's code runs, so the program cannot close them. XP has none of them
//   but imm32, which its user32 also loads as it starts, before the program
//   runs (whether by full path cannot be seen from here).

} // namespace

std::wstring SystemDirectory() {
    const std::optional<std::wstring> directory =
        TextFromSystem([](wchar_t* buffer, DWORD capacity) {
            return static_cast<DWORD>(GetSystemDirectoryW(buffer, capacity));
        });
    if (!directory)
        throw PlatformError(L"Finding the system directory", SystemErrorText(GetLastError()));
    return *directory;
}

std::wstring SystemDllPath(const wchar_t* name) {
    return SystemDirectory() + L"\\" + name + L".dll";
}

UniqueModule LoadSystemDll(const std::wstring& path, WhenAbsent whenAbsent) {
    // The DLL's own imports are then looked for in the system directory too
    // (without it, look-alikes of shlwapi and winspool.drv beside the program
    // come in with shell32 and comdlg32, even under Wine).
    UniqueModule module(LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    if (module)
        return module;
    const DWORD error = GetLastError();
    const bool absent = error == ERROR_MOD_NOT_FOUND || error == ERROR_FILE_NOT_FOUND;
    if (absent && whenAbsent == WhenAbsent::Skip)
        return module;
    throw PlatformError(L"Loading " + path, SystemErrorText(error));
}

std::vector<const wchar_t*> PreloadedDllNames(DllStage stage) {
    std::vector<const wchar_t*> names;
    for (const PreloadedDll& dll : kPreloaded)
        if (dll.stage == stage)
            names.push_back(dll.name);
    return names;
}

std::vector<UniqueModule> PreloadDlls(DllStage stage) {
    std::vector<UniqueModule> modules;
    for (const wchar_t* name : PreloadedDllNames(stage))
        if (UniqueModule module = LoadSystemDll(SystemDllPath(name), WhenAbsent::Skip))
            modules.push_back(std::move(module));
    return modules;
}

} // namespace dovrel
