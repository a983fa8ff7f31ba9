// The track list's order under a Japanese locale's collation.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "catalogue/sorted_list.h"
#include "linux/qt_text_rules.h"

namespace tav::test {
namespace {

TEST(CollatingTextRules, JapaneseNamesSortAsAJapaneseReaderExpects) {
    // Digits, then Latin letters with the full-width ones among them, then kana by reading
    // whatever the script (hiragana before katakana of the same reading), then kanji; a
    // folder's entries stay together.
    const std::vector<std::string> expected = {
        "/m/01 intro/", "/m/alpha/", "/m/ＢＥＴＡ/", "/m/gamma/", "/m/あ/い.mp3",
        "/m/あい/",     "/m/イカ/",  "/m/うみ/",     "/m/エビ/",  "/m/かな/",
        "/m/カナ/",     "/m/漢字/",  "/m/全角/",
    };
    std::vector<std::string> shuffled = expected;
    std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(11));
    const CollatingTextRules rules(QLocale(QLocale::Japanese, QLocale::Japan));
    SortedList list(rules);
    for (const std::string& name : shuffled) {
        list.Add(name);
    }
    EXPECT_EQ(list.Entries(), expected);

    // Comparing two texts agrees with the list, and ignores ASCII case only.
    for (std::size_t i = 1; i < expected.size(); ++i) {
        EXPECT_LT(rules.CompareNoCase(expected[i - 1], expected[i]), 0) << expected[i];
        EXPECT_GT(rules.CompareNoCase(expected[i], expected[i - 1]), 0) << expected[i];
    }
    EXPECT_EQ(rules.CompareNoCase("/m/Alpha.MP3", "/m/alpha.mp3"), 0);
    EXPECT_LT(rules.CompareNoCase(".MP3", ".wav"), 0);
    EXPECT_LT(rules.CompareNoCase(".9", ".a"), 0);
    EXPECT_NE(rules.CompareNoCase("/m/かな/", "/m/カナ/"), 0);
}

}  // namespace
}  // namespace tav::test
