#include "catalogue/path.h"

#include <gtest/gtest.h>

#include "catalogue/folder_names.h"
#include "catalogue/scan.h"
#include "fakes/test_player.h"

namespace tav::test {
namespace {

TEST(SplitPath, BothStylesStepOverDoubleByteCharacters) {
    const Cp932Rules windows;
    const Utf8TextRules posix;
    const struct {
        const TextRules& rules;
        const char* path;
        PathParts parts;
    } cases[] = {
        {windows,
         "C:\\Music\\Bach\\01 Prelude.mp3",
         {"C:", "\\Music\\Bach\\", "01 Prelude", ".mp3"}},
        {windows, "C:\\a.b\\archive.tar.", {"C:", "\\a.b\\", "archive.tar", "."}},
        {windows, "C:\\", {"C:", "\\", "", ""}},
        // ソ and 表 end in 0x5C, no separator; a lead byte before the end stands alone.
        {windows, "C:\\\x83\x5C\\\x95\x5C.wav", {"C:", "\\\x83\x5C\\", "\x95\x5C", ".wav"}},
        {windows, "C:\\a\\b\x83", {"C:", "\\a\\", "b\x83", ""}},
        {windows, "\\\\server\\share\\a.mp3", {}},
        {windows, "C:Music\\a.mp3", {}},
        {windows, "", {}},
        {posix, "/music/bach/.mp3", {"", "/music/bach/", "", ".mp3"}},
        {posix, "/ソ/表.mp3", {"", "/ソ/", "表", ".mp3"}},
        {posix, "music/a.mp3", {}},
        {posix, "C:\\a.mp3", {}},
    };
    for (const auto& c : cases) {
        const PathParts parts = SplitPath(c.path, c.rules);
        EXPECT_EQ(parts.drive, c.parts.drive) << c.path;
        EXPECT_EQ(parts.directory, c.parts.directory) << c.path;
        EXPECT_EQ(parts.baseName, c.parts.baseName) << c.path;
        EXPECT_EQ(parts.extension, c.parts.extension) << c.path;
    }
    EXPECT_TRUE(EndsWithSeparator("C:\\\x83\x5C\\", windows));
    EXPECT_FALSE(EndsWithSeparator("C:\\\x83\x5C", windows));  // ソ
    EXPECT_FALSE(EndsWithSeparator("C:\\a\x83\\", windows));   // lead byte + backslash
    EXPECT_FALSE(EndsWithSeparator("C:\\", posix));
}

// The walk tests each listed name on its own; that must give what SplitPath of the whole
// path gives, double-byte names and folders that end in a lone lead byte included.
TEST(SplitPath, NameTestAgreesWithSplittingTheWholePath) {
    const Cp932Rules cp932;
    const Utf8TextRules utf8;
    // In CP932 a lead byte swallows the dot (\x83.), ソ's second byte is no separator, and
    // 表 then a lead byte comes before the dot.
    const std::vector<std::string> names = {
        "a.mp3", "a.b.mp3",    ".mp3",   "mp3",      "a.",           "x.MP3",
        "y.WaV", ".",          "..",     "\x83.mp3", "\x83\x5C.mp3", "\x95\x5C\x83.wav",
        "a\x83", "ソナタ.mp3", "曲.wav", "a\\b.mp3", "a/b.wav"};
    const struct {
        const TextRules& rules;
        std::vector<std::string> folders;
    } styles[] = {
        {cp932, {"C:\\Music\\", "C:\\\x83\x5C\\", "C:\\a\x83\\", "Music\\", "\\\\srv\\s\\"}},
        {utf8, {"/music/", "/ソ/", "/a\xE3/", "music/", std::string("/m\0x/", 5)}},
    };
    for (const auto& style : styles) {
        TestPlayer t(style.rules);
        for (const std::string& folder : style.folders) {
            const FolderNames judge(t.player, folder);
            for (const std::string& name : names) {
                const std::string extension = SplitPath(folder + name, style.rules).extension;
                EXPECT_EQ(judge.IsPlayableFile(name), IsPlayableName(t.player, extension))
                    << folder << " + " << name;
            }
        }
    }
}

}  // namespace
}  // namespace tav::test
