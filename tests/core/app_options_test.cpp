#include <gtest/gtest.h>

#include <climits>

#include "app/options.h"
#include "fakes/test_player.h"
#include "player/control_table.h"
#include "player/display.h"
#include "player/text_cut.h"

namespace tav::test {
namespace {

TEST(PlayTarget, ThreeClicksVisitEveryTargetAndComeBack) {
    TestPlayer t;
    t.Send(WM_CREATE_);
    const char* expected[] = {"MP3", "WAV", "MP3+WAV"};
    for (const char* label : expected) {
        t.Command(TargetButton, BN_CLICKED_);
        EXPECT_EQ(t.window.ControlText(TargetLabel), label);
    }
    EXPECT_EQ(t.player.options.playTarget, 3);
}

TEST(PlayTarget, HandEditedValuesCycleAndShowByTheirBits) {
    struct Case {
        int32_t from;
        int32_t next;
        const char* label;  // of the value itself
    };
    const Case cases[] = {
        {0, 1, "MP3"},
        {4, 1, "MP3"},
        {6, 1, "WAV"},
        {7, 1, "MP3+WAV"},
        {-1, 0, "MP3+WAV"},
        {INT32_MAX, 1, "MP3+WAV"},
        {INT32_MIN, INT32_MIN + 1, "MP3"},
    };
    for (const Case& c : cases) {
        TestPlayer t;
        t.Send(WM_CREATE_);
        ShowPlayTarget(t.player, c.from);
        EXPECT_EQ(t.window.ControlText(TargetLabel), c.label) << c.from;
        t.player.options.playTarget = c.from;
        CyclePlayTarget(t.player);
        EXPECT_EQ(t.player.options.playTarget, c.next) << c.from;
    }
}

TEST(Unit, PerFileGreysOutTheExclusionEditAndKeepsItsText) {
    TestPlayer t;
    t.Send(WM_CREATE_);
    t.window.SetControlText(ExclusionEdit, "Live");
    t.Command(ExclusionEdit, EN_CHANGE_);
    for (const int selection : {1, 0, -1, 1}) {
        t.window.SetComboSelection(selection);
        t.Command(UnitCombo, CBN_SELCHANGE_);
        EXPECT_EQ(t.window.IsControlEnabled(ExclusionEdit), selection != 1) << selection;
        EXPECT_EQ(t.window.ControlText(ExclusionEdit), "Live");
        EXPECT_EQ(t.player.options.exclusionText, "Live");
    }
}

TEST(Exclusion, TextIsCutAtFifteenBytesOnACharacterBoundary) {
    const Cp932Rules cp932;
    const Utf8TextRules utf8;
    struct Case {
        const TextRules* rules;
        std::string typed;
        std::string kept;
    };
    const Case cases[] = {
        {&utf8, "abcdefghijklmnopqrst", "abcdefghijklmno"},
        {&utf8, "", ""},
        {&utf8,
         "abcdefghijklm"
         "\xE3\x81\x82",
         "abcdefghijklm"},  // あ is 3 bytes: 13 + 3 > 15
        {&utf8,
         "abcdefghijkl"
         "\xE3\x81\x82",
         "abcdefghijkl\xE3\x81\x82"},
        {&cp932,
         "abcdefghijklmn"
         "\x83\x5C",
         "abcdefghijklmn"},  // ソ straddles the limit
        {&cp932,
         "abcdefghijklm"
         "\x83\x5C"
         "z",
         "abcdefghijklm\x83\x5C"},
        {&cp932, "\x82\x9F\x82\xE0\x82\x9F\x82\xE0\x82\x9F\x82\xE0\x82\x9F\x82\xE0",
         "\x82\x9F\x82\xE0\x82\x9F\x82\xE0\x82\x9F\x82\xE0\x82\x9F"},  // trails in the lead range
    };
    for (const Case& c : cases) {
        TestPlayer t(*c.rules);
        t.Send(WM_CREATE_);
        t.window.SetControlText(ExclusionEdit, c.typed);
        t.Command(ExclusionEdit, EN_CHANGE_);
        EXPECT_EQ(t.player.options.exclusionText, c.kept) << c.typed;
        EXPECT_EQ(t.window.ControlText(ExclusionEdit), c.typed);  // the edit has no limit
    }
}

TEST(TextCut, Utf8CharactersAreWholeOrSingleBytes) {
    const Utf8TextRules utf8;
    struct Case {
        std::string text;
        std::size_t length;
    };
    const Case cases[] = {
        // UTF-8 bytes spelt out: the Windows build compiles literals to CP932.
        {"a", 1},
        {"\xC2\xA9", 2},
        {"\xDF\xBF", 2},
        {"\xE0\xA0\x80", 3},
        {"\xEF\xBF\xBD", 3},
        {"\xF0\x9F\x98\x80", 4},
        {"\xF4\x8F\xBF\xBF", 4},
        {"\xE3\x81", 1},  // cut short
        {"\xE3"
         "ab",
         1},  // not followed by continuation bytes
        {"\x80", 1},
        {"\xC1\xBF", 1},  // overlong lead
        {"\xF5\x80\x80\x80", 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CharLength(c.text, 0, utf8), c.length) << c.text;
    }
    EXPECT_EQ(CutToLimit("\xE3\x81\x82", 2, utf8), "");  // no room for the first character
}

}  // namespace
}  // namespace tav::test
