// What only the Windows file system does, under code page 932. Built only for Windows; the
// other core tests run on it there too.
#ifdef _WIN32

#include <windows.h>
#undef ReplaceFile
#include <gtest/gtest.h>

#include "catalogue/path.h"
#include "fakes/test_player.h"

namespace tav::test {
namespace {

// ソ, 表 and 能 end in 0x5C, the backslash. A folder is one whatever path leads to it, and a
// name with the platform's wildcards is looked up as its search finds it.
TEST(Win32FileSystem, FoldersWhoseNameEndsInA5CByte) {
    ASSERT_EQ(GetACP(), 932U) << "run the Windows tests with LANG=ja_JP.UTF-8";
    TempDir dir;
    const Win32FileSystem files;
    const AnsiTextRules rules;
    for (const char* name : {"\x83\x5C", "\x95\x5C", "\x94\x5C"}) {
        const std::string folder = dir.Path() + name;
        dir.AddFile(std::string(name) + "\\" + name + ".mp3");
        EXPECT_EQ(TestPath(folder, files, rules), Folder);
        EXPECT_EQ(TestPath(folder + "\\", files, rules), Folder);
        EXPECT_EQ(files.Identify(folder + "\\"), files.Identify(folder + "\\..\\" + name));
        EXPECT_EQ(files.Lookup(folder + "\\*.mp3"), false);
    }
    EXPECT_NE(files.Identify(dir.Path() + "\x83\x5C"), files.Identify(dir.Path() + "\x95\x5C"));
    EXPECT_EQ(files.Identify(dir.Path() + "missing"), std::nullopt);
    EXPECT_EQ(rules.CompareNoCase(std::string_view("abcdef").substr(0, 3), "ABC"), 0);
}

// A read-only file stays as it is, a hidden one stays hidden, a folder is never replaced and
// a device is never read or written.
TEST(Win32FileSystem, ReplaceKeepsReadOnlyAndHiddenFiles) {
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
    const std::string folder = dir.AddFolder("target");  // the rename fails after the write
    EXPECT_FALSE(files.ReplaceFile(folder, "new"));
    EXPECT_EQ(files.Lookup(folder + ".tmp"), std::nullopt);
    EXPECT_EQ(files.ReadFile("NUL", 16), std::nullopt);
    EXPECT_FALSE(files.WriteToFile("NUL", "x", WriteMode::Append));
}

}  // namespace
}  // namespace tav::test

#endif  // _WIN32
