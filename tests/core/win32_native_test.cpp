// The Windows file system and text rules under code page 932. Built only for Windows.
#ifdef _WIN32

#include <windows.h>
#undef ReplaceFile
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "catalogue/path.h"
#include "fakes/test_player.h"

namespace tav::test {
namespace {

// ソ, 表 and 能 in CP932: their second byte is 0x5C, the backslash.
constexpr const char* kSo = "\x83\x5C";
constexpr const char* kHyou = "\x95\x5C";
constexpr const char* kNou = "\x94\x5C";

TEST(AnsiTextRules, CodePage932LeadBytes) {
    ASSERT_EQ(GetACP(), 932U) << "run the Windows tests with LANG=ja_JP.UTF-8";
    const AnsiTextRules rules;
    for (const int byte : {0x81, 0x83, 0x9F, 0xE0, 0xEA, 0xFC}) {
        EXPECT_TRUE(rules.IsLeadByte(static_cast<unsigned char>(byte))) << byte;
    }
    for (const int byte : {0x00, 0x41, 0x5C, 0x7F, 0x80, 0xA0, 0xB1, 0xDF, 0xFD, 0xFF}) {
        EXPECT_FALSE(rules.IsLeadByte(static_cast<unsigned char>(byte))) << byte;
    }
}

TEST(AnsiTextRules, CompareNoCaseReadsOnlyTheGivenBytes) {
    const AnsiTextRules rules;
    const std::string_view longer = "abcdef";
    EXPECT_EQ(rules.CompareNoCase(longer.substr(0, 3), "ABC"), 0);
    EXPECT_LT(rules.CompareNoCase("a", "B"), 0);
    EXPECT_GT(rules.CompareNoCase("b", "A"), 0);
    EXPECT_LT(rules.CompareNoCase("", "a"), 0);
    EXPECT_EQ(rules.CompareNoCase(".MP3", ".mp3"), 0);
}

TEST(Win32Paths, FolderWhoseNameEndsInA5CSecondByte) {
    TempDir dir;
    const Win32FileSystem files;
    const AnsiTextRules rules;
    for (const char* name : {kSo, kHyou, kNou}) {
        const std::string folder = dir.Path() + name;
        ASSERT_NE(CreateDirectoryA(folder.c_str(), nullptr), 0) << GetLastError();
        const std::string song = folder + "\\" + name + ".mp3";
        const HANDLE file = CreateFileA(song.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        CloseHandle(file);

        EXPECT_EQ(TestPath(folder, files, rules), Folder);
        EXPECT_EQ(TestPath(folder + "\\", files, rules), Folder);
        EXPECT_EQ(TestPath(song, files, rules), File);
        EXPECT_FALSE(EndsWithSeparator(folder, rules));

        const PathParts parts = SplitPath(song, rules);
        EXPECT_EQ(parts.baseName, name);
        EXPECT_EQ(parts.extension, ".mp3");
        EXPECT_EQ(parts.drive + parts.directory, folder + "\\");

        auto search = files.List(folder + "\\");
        ASSERT_NE(search, nullptr);
        std::vector<std::string> names;
        while (auto entry = search->Next()) {
            EXPECT_EQ(entry->isDirectory, entry->name == "." || entry->name == "..");
            names.push_back(entry->name);
        }
        EXPECT_EQ(names.size(), 3U);
        EXPECT_NE(std::find(names.begin(), names.end(), std::string(name) + ".mp3"), names.end());
    }
}

TEST(Win32Paths, TempDirWritesSystemCodePageNames) {
    TempDir dir;
    const Win32FileSystem files;
    const std::string song = dir.AddFile(std::string(kSo) + "\\" + kHyou + ".wav", "RIFF");
    EXPECT_EQ(files.Lookup(song), false);
    EXPECT_EQ(files.Lookup(dir.Path() + kSo), true);
    EXPECT_EQ(ReadBack(song), "RIFF");
}

TEST(Win32FileSystem, LookupAndListing) {
    TempDir dir;
    const Win32FileSystem files;
    dir.AddFile("a.mp3");
    dir.AddFolder("sub");
    EXPECT_EQ(files.Lookup(dir.Path() + "a.mp3"), false);
    EXPECT_EQ(files.Lookup(dir.Path() + "sub"), true);
    EXPECT_EQ(files.Lookup(dir.Path() + "*.mp3"), false);  // the platform's wildcards
    EXPECT_EQ(files.Lookup(dir.Path() + "missing"), std::nullopt);
    EXPECT_EQ(files.List(dir.Path() + "missing\\"), nullptr);

    auto search = files.List(dir.Path());
    ASSERT_NE(search, nullptr);
    std::map<std::string, bool> entries;
    while (auto entry = search->Next()) {
        entries[entry->name] = entry->isDirectory;
    }
    const std::map<std::string, bool> expected{
        {".", true}, {"..", true}, {"a.mp3", false}, {"sub", true}};
    EXPECT_EQ(entries, expected);
    EXPECT_EQ(search->Next(), std::nullopt);
}

TEST(Win32FileSystem, IdentifyTellsFoldersApart) {
    TempDir dir;
    const Win32FileSystem files;
    const std::string a = dir.AddFolder("a");
    const std::string b = dir.AddFolder("b");
    const auto first = files.Identify(a);
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(files.Identify(a + "\\"), first);
    EXPECT_EQ(files.Identify(b + "\\..\\a"), first);
    EXPECT_NE(files.Identify(b), first);
    EXPECT_EQ(files.Identify(dir.Path() + "missing"), std::nullopt);
}

TEST(Win32FileSystem, WriteAppendReadAndReplace) {
    TempDir dir;
    Win32FileSystem files;
    const std::string path = dir.Path() + "settings.ini";
    EXPECT_EQ(ReadBack(path), std::nullopt);
    ASSERT_TRUE(files.WriteToFile(path, "one\r\n", WriteMode::Append));  // created
    ASSERT_TRUE(files.WriteToFile(path, "two\r\n", WriteMode::Append));
    EXPECT_EQ(ReadBack(path), "one\r\ntwo\r\n");
    ASSERT_TRUE(files.WriteToFile(path, "three\r\n", WriteMode::Truncate));
    EXPECT_EQ(ReadBack(path), "three\r\n");
    ASSERT_TRUE(files.ReplaceFile(path, "four\r\n"));
    EXPECT_EQ(ReadBack(path), "four\r\n");
    EXPECT_EQ(files.Lookup(path + ".tmp"), std::nullopt);
    EXPECT_FALSE(files.WriteToFile(dir.Path() + "missing\\x.ini", "x", WriteMode::Truncate));
    EXPECT_EQ(ReadBack(dir.Path()), std::nullopt);  // a folder is no file
}

// A read-only file stays as it is; a hidden one stays hidden; a device is never read or
// written.
TEST(Win32FileSystem, ReplaceRespectsReadOnlyAndHiddenFiles) {
    TempDir dir;
    Win32FileSystem files;
    const std::string locked = dir.AddFile("locked.ini", "old");
    ASSERT_NE(SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_READONLY), 0);
    EXPECT_FALSE(files.ReplaceFile(locked, "new"));
    EXPECT_EQ(ReadBack(locked), "old");
    SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_NORMAL);

    const std::string hidden = dir.AddFile("hidden.ini", "old");
    ASSERT_NE(SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN), 0);
    EXPECT_TRUE(files.ReplaceFile(hidden, "new"));
    EXPECT_EQ(ReadBack(hidden), "new");
    EXPECT_NE(GetFileAttributesA(hidden.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0U);

    EXPECT_EQ(files.ReadFile("NUL", 16), std::nullopt);
    EXPECT_FALSE(files.WriteToFile("NUL", "x", WriteMode::Append));
}

TEST(Win32FileSystem, FailedReplaceKeepsTheOldFile) {
    TempDir dir;
    Win32FileSystem files;
    // A folder cannot be replaced by a file: the rename fails after the temporary was written.
    const std::string folder = dir.AddFolder("target");
    EXPECT_FALSE(files.ReplaceFile(folder, "new"));
    EXPECT_EQ(files.Lookup(folder), true);
    EXPECT_EQ(files.Lookup(folder + ".tmp"), std::nullopt);
    EXPECT_FALSE(files.ReplaceFile(dir.Path() + "missing\\x.ini", "new"));
}

TEST(Win32FileSystem, ExecutablePathNamesThisProgram) {
    const Win32FileSystem files;
    const AnsiTextRules rules;
    const std::string path = files.ExecutablePath();
    const PathParts parts = SplitPath(path, rules);
    EXPECT_EQ(parts.baseName + parts.extension, "core_tests.exe");
    EXPECT_EQ(TestPath(path, files, rules), File);
}

}  // namespace
}  // namespace tav::test

#endif  // _WIN32
