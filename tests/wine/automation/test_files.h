#pragma once

#include <string>
#include <vector>

namespace dovrel::automation {

// The system's folder for temporary files, without a trailing backslash.
std::wstring TempFolder();

// The one argument of each logged command line, or "(not one argument) " and
// the line where there is not exactly one.
std::vector<std::wstring> SoleArgumentsOf(const std::vector<std::wstring>& commandLines);

// A UTF-8 log of the helper programs (see fixtures/fixture_logs.h), deleted now
// and again when it goes, so each test sees only its own lines.
class ScopedLog {
public:
    explicit ScopedLog(std::wstring path);
    ~ScopedLog();
    ScopedLog(const ScopedLog&) = delete;
    ScopedLog& operator=(const ScopedLog&) = delete;

    const std::wstring& path() const { return path_; }
    // None when the log is missing.
    std::vector<std::wstring> Lines() const;

private:
    std::wstring path_;
};

// Creates the missing folders above `path`; removes the ones it created, deepest
// first, when it goes (so the file at `path` must be gone by then).
class ScopedParentFolders {
public:
    explicit ScopedParentFolders(const std::wstring& path);
    ~ScopedParentFolders();
    ScopedParentFolders(const ScopedParentFolders&) = delete;
    ScopedParentFolders& operator=(const ScopedParentFolders&) = delete;

private:
    std::vector<std::wstring> created_; // deepest last
};

// A file made for a test, holding `contents`, with the folders it needs;
// removed with them when it goes. Throws when it cannot be made.
class ScopedFile {
public:
    explicit ScopedFile(std::wstring path, const std::string& contents = {});
    ~ScopedFile();
    ScopedFile(const ScopedFile&) = delete;
    ScopedFile& operator=(const ScopedFile&) = delete;

    const std::wstring& path() const { return path_; }

private:
    ScopedParentFolders folders_; // outlives the file inside them
    std::wstring path_;
};

// Copies a file to `destination`, creating the folders on the way; removes the
// copy and the folders it created when it goes. Throws when the copy fails.
class ScopedFileCopy {
public:
    ScopedFileCopy(const std::wstring& source, std::wstring destination);
    ~ScopedFileCopy();
    ScopedFileCopy(const ScopedFileCopy&) = delete;
    ScopedFileCopy& operator=(const ScopedFileCopy&) = delete;

    const std::wstring& path() const { return destination_; }

private:
    ScopedParentFolders folders_; // outlives the copy inside them
    std::wstring destination_;
};

// Makes sure nothing is at `path` while it lives: a file found there is moved
// aside and put back afterwards.
class ScopedAbsentFile {
public:
    explicit ScopedAbsentFile(std::wstring path);
    ~ScopedAbsentFile();
    ScopedAbsentFile(const ScopedAbsentFile&) = delete;
    ScopedAbsentFile& operator=(const ScopedAbsentFile&) = delete;

private:
    std::wstring path_;
    std::wstring aside_; // empty when nothing was there
};

} // namespace dovrel::automation
