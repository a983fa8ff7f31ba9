// The Windows file system and text rules under code page 932. Built only for Windows.
#ifdef _WIN32

#include <windows.h>
#undef ReplaceFile
#include <gtest/gtest.h>

#include <map>

#include "catalogue/path.h"
#include "fakes/test_player.h"

namespace tav::test {
namespace {

TEST(AnsiTextRules, CodePage932LeadBytesAndCaseFolding) {
    ASSERT_EQ(GetACP(), 932U) << "run the Windows tests with LANG=ja_JP.UTF-8";
    const AnsiTextRules rules;
    for (const int byte : {0x81, 0x83, 0x9F, 0xE0, 0xEA, 0xFC}) {
        EXPECT_TRUE(rules.IsLeadByte(static_cast<unsigned char>(byte))) << byte;
    }
    for (const int byte : {0x00, 0x41, 0x5C, 0x7F, 0x80, 0xA0, 0xB1, 0xDF, 0xFD, 0xFF}) {
        EXPECT_FALSE(rules.IsLeadByte(static_cast<unsigned char>(byte))) << byte;
    }
    EXPECT_EQ(rules.CompareNoCase(std::string_view("abcdef").substr(0, 3), "ABC"), 0);
    EXPECT_LT(rules.CompareNoCase("a", "B"), 0);
    EXPECT_GT(rules.CompareNoCase("b", "A"), 0);
    EXPECT_LT(rules.CompareNoCase("", "a"), 0);
}

// ソ, 表 and 能 in CP932: their second byte is 0x5C, the backslash.
TEST(Win32Paths, FolderWhoseNameEndsInA5CSecondByte) {
    TempDir dir;
    const Win32FileSystem files;
    const AnsiTextRules rules;
    for (const char* name : {"\x83\x5C", "\x95\x5C", "\x94\x5C"}) {
        const std::string folder = dir.Path() + name;
        const std::string song = dir.AddFile(std::string(name) + "\\" + name + ".mp3", "ID3");
        EXPECT_EQ(TestPath(folder, files, rules), Folder);
        EXPECT_EQ(TestPath(folder + "\\", files, rules), Folder);
        EXPECT_EQ(TestPath(song, files, rules), File);
        EXPECT_EQ(ReadBack(song), "ID3");
        const PathParts parts = SplitPath(song, rules);
        EXPECT_EQ(parts.drive + parts.directory, folder + "\\");
        EXPECT_EQ(parts.baseName + parts.extension, std::string(name) + ".mp3");

        auto search = files.List(folder + "\\");
        ASSERT_NE(search, nullptr);
        std::map<std::string, bool> entries;
        while (auto entry = search->Next()) {
            entries[entry->name] = entry->isDirectory;
        }
        const std::map<std::string, bool> expected{
            {".", true}, {"..", true}, {std::string(name) + ".mp3", false}};
        EXPECT_EQ(entries, expected);
    }
}

TEST(Win32FileSystem, LookupAndIdentify) {
    TempDir dir;
    const Win32FileSystem files;
    dir.AddFile("a.mp3");
    const std::string a = dir.AddFolder("a");
    const std::string b = dir.AddFolder("b");
    EXPECT_EQ(files.Lookup(dir.Path() + "a.mp3"), false);
    EXPECT_EQ(files.Lookup(a), true);
    EXPECT_EQ(files.Lookup(dir.Path() + "*.mp3"), false);  // the platform's wildcards
    EXPECT_EQ(files.Lookup(dir.Path() + "missing"), std::nullopt);
    EXPECT_EQ(files.List(dir.Path() + "missing\\"), nullptr);
    const auto first = files.Identify(a);
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(files.Identify(a + "\\"), first);
    EXPECT_EQ(files.Identify(b + "\\..\\a"), first);
    EXPECT_NE(files.Identify(b), first);
    EXPECT_EQ(files.Identify(dir.Path() + "missing"), std::nullopt);
}

// Appends, truncates and replaces; a read-only file stays as it is, a hidden one stays
// hidden, a folder is never replaced and a device is never read or written.
TEST(Win32FileSystem, WriteAndReplace) {
    TempDir dir;
    Win32FileSystem files;
    const std::string path = dir.Path() + "settings.ini";
    ASSERT_TRUE(files.WriteToFile(path, "one\r\n", WriteMode::Append));  // created
    ASSERT_TRUE(files.WriteToFile(path, "two\r\n", WriteMode::Append));
    EXPECT_EQ(ReadBack(path), "one\r\ntwo\r\n");
    ASSERT_TRUE(files.WriteToFile(path, "three\r\n", WriteMode::Truncate));
    EXPECT_EQ(ReadBack(path), "three\r\n");
    ASSERT_TRUE(files.ReplaceFile(path, "four\r\n"));
    EXPECT_EQ(ReadBack(path), "four\r\n");
    EXPECT_EQ(files.Lookup(path + ".tmp"), std::nullopt);
    EXPECT_FALSE(files.WriteToFile(dir.Path() + "missing\\x.ini", "x", WriteMode::Truncate));
    EXPECT_FALSE(files.ReplaceFile(dir.Path() + "missing\\x.ini", "new"));
    EXPECT_EQ(ReadBack(dir.Path()), std::nullopt);

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
    const std::string folder = dir.AddFolder("target");  // the rename fails after the write
    EXPECT_FALSE(files.ReplaceFile(folder, "new"));
    EXPECT_EQ(files.Lookup(folder), true);
    EXPECT_EQ(files.Lookup(folder + ".tmp"), std::nullopt);
    EXPECT_EQ(files.ReadFile("NUL", 16), std::nullopt);
    EXPECT_FALSE(files.WriteToFile("NUL", "x", WriteMode::Append));
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
