#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "automation/test_files.h"
#include "automation/wine_paths.h"
#include "platform/win32/win32_file_system.h"

namespace dovrel {
namespace {

std::wstring VersionSample() {
    return automation::FixturePath(L"version_sample.exe");
}

using automation::TempFolder;

// A plain text file under a non-Latin name, removed again at the end.
struct TextFile : automation::ScopedFile {
    TextFile()
        : ScopedFile(TempFolder() + L"\\dovrel \u0442\u0435\u043a\u0441\u0442.txt",
                     "no version here") {}
};

class FileSystemAdapter : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(GetFileAttributesW(VersionSample().c_str()), INVALID_FILE_ATTRIBUTES)
            << "build the version_sample fixture first";
    }
    Win32FileSystem fso;
};

TEST_F(FileSystemAdapter, ExistsOnlyForFiles) {
    TextFile text;
    EXPECT_TRUE(fso.FileExists(VersionSample()));
    EXPECT_TRUE(fso.FileExists(text.path()));
    EXPECT_FALSE(fso.FileExists(TempFolder()));
    EXPECT_FALSE(fso.FileExists(automation::FixturesFolder()));
    EXPECT_FALSE(fso.FileExists(TempFolder() + L"\\dovrel-no-such-file.exe"));
    EXPECT_FALSE(fso.FileExists(L""));
}

TEST_F(FileSystemAdapter, VersionIsTheFixedFileVersionInFourParts) {
    // The record's product version is 9.8.7.6; the file version is what counts.
    EXPECT_EQ(fso.GetFileVersion(VersionSample()), L"11.22.3333.44444");
}

TEST_F(FileSystemAdapter, NoRecordNoFileOrAFolderGiveEmptyText) {
    TextFile text;
    EXPECT_EQ(fso.GetFileVersion(text.path()), L"");
    EXPECT_EQ(fso.GetFileVersion(TempFolder() + L"\\dovrel-no-such-file.exe"), L"");
    EXPECT_EQ(fso.GetFileVersion(TempFolder()), L"");
}

TEST_F(FileSystemAdapter, ShortPathNamesTheSameFileWithoutAPerCentSign) {
    const automation::ScopedFile inFolder(TempFolder() + L"\\PowerPoint%20Viewer\\pptview.exe");
    const std::wstring shortForm = fso.GetShortPath(inFolder.path());
    EXPECT_EQ(shortForm.find(L'%'), std::wstring::npos) << testing::PrintToString(shortForm);
    EXPECT_TRUE(fso.FileExists(shortForm));
    EXPECT_EQ(shortForm.substr(shortForm.size() - 12), L"\\pptview.exe");
    EXPECT_EQ(fso.GetShortPath(TempFolder() + L"\\dovrel-no-such-file.exe"), L"");
}

} // namespace
} // namespace dovrel
