#include <gtest/gtest.h>

#include <climits>

#include "fakes/test_player.h"

namespace tav::test {
namespace {

// Each click moves to the next target and shows it by its bits; values a hand-edited
// settings file may hold cycle without overflowing.
TEST(Options, TargetButtonCyclesThePlayTarget) {
    const struct {
        int32_t from;
        int32_t next;
        const char* shown;
    } cases[] = {
        {3, 1, "MP3"},
        {1, 2, "WAV"},
        {2, 3, "MP3+WAV"},
        {6, 1, "MP3"},
        {-2, -1, "MP3+WAV"},
        {INT32_MAX, 1, "MP3"},
        {INT32_MIN, INT32_MIN + 1, "MP3"},
    };
    for (const auto& c : cases) {
        TestPlayer t;
        t.Send(WM_CREATE_);
        t.player.options.playTarget = c.from;
        t.Command(TargetButton, BN_CLICKED_);
        EXPECT_EQ(t.player.options.playTarget, c.next) << c.from;
        EXPECT_EQ(t.window.ControlText(TargetLabel), c.shown) << c.from;
    }
}

TEST(Options, PerFileGreysOutTheExclusionEditAndKeepsItsText) {
    TestPlayer t;
    t.Send(WM_CREATE_);
    t.window.SetControlText(ExclusionEdit, "Live");
    t.Command(ExclusionEdit, EN_CHANGE_);
    for (const int selection : {1, 0, -1, 1}) {
        t.window.SetComboSelection(selection);
        t.Command(UnitCombo, CBN_SELCHANGE_);
        EXPECT_EQ(t.window.IsControlEnabled(ExclusionEdit), selection != 1) << selection;
        EXPECT_EQ(t.player.options.exclusionText, "Live");
    }
}

// The edit takes any length; the exclusion keeps at most 15 bytes, cut before the character
// that would straddle the limit. UTF-8 bytes are spelt out (the Windows build compiles
// literals to CP932); broken or overlong sequences count byte by byte.
TEST(Options, ExclusionIsCutAtFifteenBytesOnACharacterBoundary) {
    const Cp932Rules cp932;
    const Utf8TextRules utf8;
    const struct {
        const TextRules* rules;
        std::string typed;
        std::string kept;
    } cases[] = {
        // clang-format off
        {&utf8, "abcdefghijklmnopqrst", "abcdefghijklmno"},
        {&utf8, "", ""},
        {&utf8, "abcdefghijklm\xE3\x81\x82", "abcdefghijklm"},
        {&utf8, "abcdefghijkl\xE3\x81\x82", "abcdefghijkl\xE3\x81\x82"},
        {&utf8, "abcdefghijk\xF0\x9F\x98\x80!", "abcdefghijk\xF0\x9F\x98\x80"},
        {&utf8, "abcdefghijklm\xDF\xBF!", "abcdefghijklm\xDF\xBF"},
        {&utf8, "abcdefghijklmn\xF5\x80", "abcdefghijklmn\xF5"},
        {&utf8, "abcdefghijklm\xE3" "a\x80", "abcdefghijklm\xE3" "a"},
        {&utf8, "abcdefghijklmn\xE3\x81", "abcdefghijklmn\xE3"},
        {&utf8, "abcdefghijklmn\xC1\xBF", "abcdefghijklmn\xC1"},
        {&cp932, "abcdefghijklmn\x83\x5C", "abcdefghijklmn"},
        {&cp932, "abcdefghijklm\x83\x5Cz", "abcdefghijklm\x83\x5C"},
        {&cp932, "\x82\x9F\x82\xE0\x82\x9F\x82\xE0\x82\x9F\x82\xE0\x82\x9F\x82\xE0",
         "\x82\x9F\x82\xE0\x82\x9F\x82\xE0\x82\x9F\x82\xE0\x82\x9F"},  // trails in the lead range
        // clang-format on
    };
    for (const auto& c : cases) {
        TestPlayer t(*c.rules);
        t.Send(WM_CREATE_);
        t.window.SetControlText(ExclusionEdit, c.typed);
        t.Command(ExclusionEdit, EN_CHANGE_);
        EXPECT_EQ(t.player.options.exclusionText, c.kept) << c.typed;
        EXPECT_EQ(t.window.ControlText(ExclusionEdit), c.typed);
    }
}

}  // namespace
}  // namespace tav::test
