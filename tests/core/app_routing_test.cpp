#include <gtest/gtest.h>

#include <climits>
#include <tuple>

#include "fakes/test_player.h"
#include "player/text_cut.h"

namespace tav::test {
namespace {

// Each click moves to the next target and shows it by its bits; values a hand-edited
// settings file may hold cycle without overflowing.
TEST(Options, TargetButtonCyclesThePlayTarget) {
    const std::tuple<int32_t, int32_t, const char*> cases[] = {
        {3, 1, "MP3"},       {1, 2, "WAV"},         {2, 3, "MP3+WAV"},
        {-2, -1, "MP3+WAV"}, {INT32_MAX, 1, "MP3"}, {INT32_MIN, INT32_MIN + 1, "MP3"},
    };
    for (const auto& [from, next, shown] : cases) {
        TestPlayer t;
        t.Send(WM_CREATE_);
        t.player.options.playTarget = from;
        t.Command(TargetButton, BN_CLICKED_);
        EXPECT_EQ(t.player.options.playTarget, next) << from;
        EXPECT_EQ(t.window.ControlText(TargetLabel), shown) << from;
    }
}

// The edit takes any length; the exclusion keeps at most 15 bytes, cut before the character
// that would straddle the limit. UTF-8 bytes are spelt out (the Windows build compiles
// literals to CP932); broken sequences count byte by byte.
TEST(Options, ExclusionIsCutAtFifteenBytesOnACharacterBoundary) {
    const Utf8TextRules utf8;
    const std::pair<std::string, std::string> cases[] = {
        // clang-format off
        {"abcdefghijklmnopqrst", "abcdefghijklmno"},
        {"abcdefghijklm\xE3\x81\x82", "abcdefghijklm"},
        {"abcdefghijk\xF0\x9F\x98\x80!", "abcdefghijk\xF0\x9F\x98\x80"},
        {"abcdefghijklmn\xF5\x80", "abcdefghijklmn\xF5"},
        {"abcdefghijklm\xE3" "a\x80", "abcdefghijklm\xE3" "a"},
        {"abcdefghijklmn\xE3" "ab", "abcdefghijklmn\xE3"},
        {"abcdefghijklmn\xC1\xBF", "abcdefghijklmn\xC1"},
        {"abcdefghijklmn\xE3\x81", "abcdefghijklmn\xE3"},
        // clang-format on
    };
    for (const auto& [typed, kept] : cases) {
        TestPlayer t(utf8);
        t.Send(WM_CREATE_);
        t.window.SetControlText(ExclusionEdit, typed);
        t.Command(ExclusionEdit, EN_CHANGE_);
        EXPECT_EQ(t.player.options.exclusionText, kept) << typed;
        EXPECT_EQ(t.window.ControlText(ExclusionEdit), typed);
    }
    // In CP932 a trail byte may lie in the lead range.
    const std::string kana = "\x82\x9F\x82\xE0\x82\x9F\x82\xE0\x82\x9F\x82\xE0\x82\x9F\x82\xE0";
    EXPECT_EQ(CutToLimit(kana, 15, Cp932Rules()), kana.substr(0, 14));
}

}  // namespace
}  // namespace tav::test
