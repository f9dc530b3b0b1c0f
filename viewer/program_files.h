#pragma once

namespace dovrel {

// The program-files directory as an environment reference; both the check and
// the dialog start from it.
inline constexpr wchar_t kProgramFilesReference[] = L"%Programfiles%";

} // namespace dovrel
