// The texts, paths and registry value paths the program must show and write,
// written out once for the unit tests and the Wine tests alike.
#pragma once

#include <string>

namespace dovrel::expected {

inline constexpr wchar_t kTitle[] = L"Dovrel for Windows XP";
// What a box without a title of its own shows: the program's name.
inline constexpr wchar_t kUntitledBoxTitle[] = L"Dovrel";

inline constexpr wchar_t kPlatformMessage[] =
    L"This utility was written for Windows XP systems with Service Pack 2 or higher installed.";
inline constexpr wchar_t kPrivilegeMessage[] = L"You don't have Administrative privileges.";
inline constexpr wchar_t kCompleted[] = L"Completed!";
inline constexpr wchar_t kPathNotFound[] = L"PowerPoint Viewer application path not found";
inline constexpr wchar_t kNotFound2003Line[] =
    L"PowerPoint Viewer 2003 was not found in the system.";
inline constexpr wchar_t kNotFound2007Line[] =
    L"PowerPoint Viewer 2007 was not found in the system.";
inline constexpr wchar_t kLocateLine[] =
    L"If you have installed it in a different path, locate the file path correctly.";
inline constexpr wchar_t kNotFound2003[] =
    L"PowerPoint Viewer 2003 was not found in the system.\n\n"
    L"If you have installed it in a different path, locate the file path correctly.";
inline constexpr wchar_t kNotFound2007[] =
    L"PowerPoint Viewer 2007 was not found in the system.\n\n"
    L"If you have installed it in a different path, locate the file path correctly.";
// A refused registry write: the value's path, then the system's reason.
inline std::wstring NotSavedMessage(const std::wstring& valuePath, const std::wstring& reason) {
    return L"The file association could not be saved.\nRegistry value: " + valuePath +
           L"\nReason: " + reason;
}
inline constexpr wchar_t kHomepageAddress[] = L"http://www.velloc.example/ppsopen.htm";
inline constexpr wchar_t kDonationAddress[] = L"http://www.velloc.example/donate.htm";
inline constexpr wchar_t kSiteAddress[] = L"http://www.velloc.example";
inline constexpr wchar_t kToolTip[] = L"Click here to donate.";

// The viewers' standard places below the program-files folder, and in full.
inline constexpr wchar_t kViewer2003Below[] = L"\\Microsoft Office\\PowerPoint Viewer\\pptview.exe";
inline constexpr wchar_t kViewer2007Below[] = L"\\Microsoft Office\\Office12\\pptview.exe";
inline constexpr wchar_t kViewer2003Path[] =
    L"C:\\Program Files\\Microsoft Office\\PowerPoint Viewer\\pptview.exe";
inline constexpr wchar_t kViewer2007Path[] =
    L"C:\\Program Files\\Microsoft Office\\Office12\\pptview.exe";

inline constexpr wchar_t kSlideShowClass[] = L"PowerPointViewer.SlideShow.11";
inline constexpr wchar_t kShowClass[] = L"PowerPointViewer.Show.11";
inline constexpr wchar_t kPpsExtensionPath[] = L"HKCR\\.pps\\";
inline constexpr wchar_t kPptExtensionPath[] = L"HKCR\\.ppt\\";
inline constexpr wchar_t kSlideShowVerbPath[] = L"HKCR\\PowerPointViewer.SlideShow.11\\shell\\";
inline constexpr wchar_t kShowVerbPath[] = L"HKCR\\PowerPointViewer.Show.11\\shell\\";
inline constexpr wchar_t kSlideShowCommandPath[] =
    L"HKCR\\PowerPointViewer.SlideShow.11\\shell\\open\\command\\";
inline constexpr wchar_t kShowCommandPath[] =
    L"HKCR\\PowerPointViewer.Show.11\\shell\\open\\command\\";

} // namespace dovrel::expected
