#include "automation/test_files.h"

#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <memory>
#include <stdexcept>

#include "automation/unique_handle.h"

namespace dovrel::automation {

namespace {

std::wstring FromUtf8(const std::string& bytes) {
    if (bytes.empty())
        return {};
    const int size =
        MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                        size);
    return text;
}

std::string ReadWholeFile(const std::wstring& path) {
    HANDLE raw = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (raw == INVALID_HANDLE_VALUE)
        return {};
    const UniqueHandle file(raw);
    std::string bytes;
    char chunk[4096];
    DWORD read = 0;
    while (ReadFile(file.get(), chunk, sizeof(chunk), &read, nullptr) && read > 0)
        bytes.append(chunk, read);
    return bytes;
}

// Whether a folder (or, if not `folder`, a file) is at `path`.
bool Exists(const std::wstring& path, bool folder) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) == folder;
}

std::wstring ParentOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::vector<std::wstring> ReadLogLines(const std::wstring& path) {
    const std::wstring text = FromUtf8(ReadWholeFile(path));
    std::vector<std::wstring> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find(L'\n', start), text.size());
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::vector<std::wstring> ArgumentsOf(const std::wstring& commandLine) {
    int count = 0;
    const UniqueLocal<LPWSTR> argv(CommandLineToArgvW(commandLine.c_str(), &count));
    std::vector<std::wstring> arguments;
    for (int i = 1; argv && i < count; ++i)
        arguments.emplace_back(argv.get()[i]);
    return arguments;
}

} // namespace

std::wstring TempFolder() {
    wchar_t path[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, path);
    std::wstring folder(path, length <= MAX_PATH ? length : 0);
    if (!folder.empty() && folder.back() == L'\\')
        folder.pop_back();
    return folder;
}

std::vector<std::wstring> SoleArgumentsOf(const std::vector<std::wstring>& commandLines) {
    std::vector<std::wstring> arguments;
    for (const std::wstring& line : commandLines) {
        const std::vector<std::wstring> all = ArgumentsOf(line);
        arguments.push_back(all.size() == 1 ? all[0] : L"(not one argument) " + line);
    }
    return arguments;
}

ScopedLog::ScopedLog(std::wstring path) : path_(std::move(path)) {
    DeleteFileW(path_.c_str());
}

ScopedLog::~ScopedLog() {
    DeleteFileW(path_.c_str());
}

std::vector<std::wstring> ScopedLog::Lines() const {
    return ReadLogLines(path_);
}

ScopedParentFolders::ScopedParentFolders(const std::wstring& path) {
    std::vector<std::wstring> missing;
    for (std::wstring folder = ParentOf(path); !folder.empty() && !Exists(folder, true);
         folder = ParentOf(folder))
        missing.insert(missing.begin(), folder);
    for (const std::wstring& folder : missing) {
        if (!CreateDirectoryW(folder.c_str(), nullptr))
            break;
        created_.push_back(folder);
    }
}

ScopedParentFolders::~ScopedParentFolders() {
    for (auto it = created_.rbegin(); it != created_.rend(); ++it)
        RemoveDirectoryW(it->c_str());
}

ScopedFile::ScopedFile(std::wstring path, const std::string& contents)
    : folders_(path), path_(std::move(path)) {
    {
        const HANDLE raw = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr);
        const UniqueHandle file(raw == INVALID_HANDLE_VALUE ? nullptr : raw);
        DWORD written = 0;
        if (file && WriteFile(file.get(), contents.data(), static_cast<DWORD>(contents.size()),
                              &written, nullptr))
            return;
    }
    DeleteFileW(path_.c_str()); // so the folders can go with the failure
    throw std::runtime_error("could not make a test file");
}

ScopedFile::~ScopedFile() {
    DeleteFileW(path_.c_str());
}

ScopedFileCopy::ScopedFileCopy(const std::wstring& source, std::wstring destination)
    : folders_(destination), destination_(std::move(destination)) {
    if (!CopyFileW(source.c_str(), destination_.c_str(), FALSE)) {
        throw std::runtime_error("could not copy a test file (error " +
                                 std::to_string(GetLastError()) + ")");
    }
}

ScopedFileCopy::~ScopedFileCopy() {
    DeleteFileW(destination_.c_str());
}

ScopedAbsentFile::ScopedAbsentFile(std::wstring path) : path_(std::move(path)) {
    if (!Exists(path_, false))
        return;
    const std::wstring aside = path_ + L".moved-aside-by-test";
    if (!MoveFileExW(path_.c_str(), aside.c_str(), MOVEFILE_REPLACE_EXISTING))
        throw std::runtime_error("could not move a file out of the way");
    aside_ = aside;
}

ScopedAbsentFile::~ScopedAbsentFile() {
    if (!aside_.empty())
        MoveFileExW(aside_.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING);
}

} // namespace dovrel::automation
