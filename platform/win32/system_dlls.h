#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/unique_handles.h"

namespace dovrel {

// The system directory, without a trailing backslash. Raises PlatformError.
std::wstring SystemDirectory();
// The full path of the system directory's DLL of that name ("comctl32").
std::wstring SystemDllPath(const wchar_t* name);

// What loading a system DLL does when this system has no DLL of the name.
enum class WhenAbsent { Raise, Skip };

// The DLL at `path` in the system directory, loaded by that full path. Empty
// when the system has no such DLL and `whenAbsent` is Skip. Raises
// PlatformError naming the file when it cannot be loaded otherwise.
UniqueModule LoadSystemDll(const std::wstring& path, WhenAbsent whenAbsent);

// When system code may ask for a DLL by bare name: while the window is made
// and shown, or once the shell's or the file dialog's DLLs are in use.
enum class DllStage { Window, Shell };

// The names of a stage's DLLs ("uxtheme"), as PreloadDlls loads them.
std::vector<const wchar_t*> PreloadedDllNames(DllStage stage);

// The DLLs of a stage that Windows' own code would load by bare name, put into
// the process first, from the system directory by full path: a later load by
// bare name then finds the module already there and never looks beside the
// program. Names this system does not have are skipped. Raises PlatformError
// when a DLL that is there cannot be loaded.
std::vector<UniqueModule> PreloadDlls(DllStage stage);

} // namespace dovrel
