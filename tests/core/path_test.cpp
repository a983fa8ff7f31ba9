#include "catalogue/path.h"

#include <gtest/gtest.h>

#include "fakes/fake_seams.h"
#include "fakes/test_player.h"

namespace tav::test {
namespace {

struct SplitCase {
    const char* path;
    const char* drive;
    const char* directory;
    const char* baseName;
    const char* extension;
};

void ExpectSplit(const TextRules& rules, const SplitCase& c) {
    const PathParts parts = SplitPath(c.path, rules);
    EXPECT_EQ(parts.drive, c.drive) << c.path;
    EXPECT_EQ(parts.directory, c.directory) << c.path;
    EXPECT_EQ(parts.baseName, c.baseName) << c.path;
    EXPECT_EQ(parts.extension, c.extension) << c.path;
}

TEST(SplitPath, WindowsStyle) {
    const Cp932Rules rules;
    const SplitCase cases[] = {
        {"C:\\Music\\Bach\\01 Prelude.mp3", "C:", "\\Music\\Bach\\", "01 Prelude", ".mp3"},
        {"C:\\Music\\Bach\\", "C:", "\\Music\\Bach\\", "", ""},
        {"C:\\x\\archive.tar.mp3", "C:", "\\x\\", "archive.tar", ".mp3"},
        {"C:\\x\\.mp3", "C:", "\\x\\", "", ".mp3"},
        {"C:\\a.b\\c", "C:", "\\a.b\\", "c", ""},
        {"C:\\", "C:", "\\", "", ""},
        // ソ is 0x83 0x5C: its second byte is no separator.
        {"C:\\\x83\x5C\\a.mp3", "C:", "\\\x83\x5C\\", "a", ".mp3"},
        {"C:\\x\\\x95\x5C.wav", "C:", "\\x\\", "\x95\x5C", ".wav"},
        {"C:\\\x94\x5C", "C:", "\\", "\x94\x5C", ""},
        // A lead byte before the terminator stands alone.
        {"C:\\a\\b\x83", "C:", "\\a\\", "b\x83", ""},
        // Not drive-letter paths: nothing is split.
        {"\\\\server\\share\\a.mp3", "", "", "", ""},
        {"Music\\a.mp3", "", "", "", ""},
        {"C:Music\\a.mp3", "", "", "", ""},
        {"", "", "", "", ""},
    };
    for (const SplitCase& c : cases) {
        ExpectSplit(rules, c);
    }
}

TEST(SplitPath, LinuxStyle) {
    const Utf8TextRules rules;
    const SplitCase cases[] = {
        {"/music/bach/01 Prelude.mp3", "", "/music/bach/", "01 Prelude", ".mp3"},
        {"/music/bach/", "", "/music/bach/", "", ""},
        {"/x/archive.tar.mp3", "", "/x/", "archive.tar", ".mp3"},
        {"/x/.mp3", "", "/x/", "", ".mp3"},
        {"/a.b/c", "", "/a.b/", "c", ""},
        {"/", "", "/", "", ""},
        {"/ソ/表.mp3", "", "/ソ/", "表", ".mp3"},
        {"music/a.mp3", "", "", "", ""},
        {"C:\\a.mp3", "", "", "", ""},
    };
    for (const SplitCase& c : cases) {
        ExpectSplit(rules, c);
    }
}

TEST(EndsWithSeparator, BothStyles) {
    const Cp932Rules windows;
    EXPECT_TRUE(EndsWithSeparator("C:\\Music\\", windows));
    EXPECT_FALSE(EndsWithSeparator("C:\\Music", windows));
    EXPECT_FALSE(EndsWithSeparator("C:\\\x83\x5C", windows));  // ソ
    EXPECT_TRUE(EndsWithSeparator("C:\\\x83\x5C\\", windows));
    EXPECT_FALSE(EndsWithSeparator("C:\\a\x83\\", windows));  // lead byte + backslash
    EXPECT_FALSE(EndsWithSeparator("", windows));
    const Utf8TextRules posix;
    EXPECT_TRUE(EndsWithSeparator("/music/", posix));
    EXPECT_FALSE(EndsWithSeparator("/music", posix));
    EXPECT_FALSE(EndsWithSeparator("C:\\", posix));
}

TEST(TestPath, RealFilesAndFolders) {
    TempDir dir;
    const NativeFileSystem files;
    const NativeTextRules rules;
    const std::string file = dir.AddFile("song.mp3");
    const std::string folder = dir.AddFolder("Bach");
    EXPECT_EQ(TestPath(file, files, rules), File);
    EXPECT_EQ(TestPath(folder, files, rules), Folder);
    EXPECT_EQ(TestPath(folder + rules.Style().separator, files, rules), Folder);
    EXPECT_EQ(TestPath(dir.Path(), files, rules), Folder);
    EXPECT_EQ(TestPath(dir.Path() + "missing", files, rules), NotFound);
    EXPECT_EQ(TestPath(dir.Path() + "missing" + rules.Style().separator, files, rules), NotFound);
    EXPECT_EQ(TestPath("", files, rules), NotFound);
}

}  // namespace
}  // namespace tav::test
