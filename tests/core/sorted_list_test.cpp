#include "catalogue/sorted_list.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "fakes/fake_seams.h"
#include "linux/native_text.h"

namespace tav::test {
namespace {

std::vector<std::string> AllTexts(const SortedList& list) {
    std::vector<std::string> texts;
    for (int32_t i = 0; i < list.Count(); ++i) {
        texts.push_back(list.Text(i));
    }
    return texts;
}

// Both systems' text rules must give a list box's order and selection behaviour.
class SortedListTest : public ::testing::TestWithParam<bool> {
protected:
    SortedListTest()
        : rules_(GetParam() ? std::unique_ptr<TextRules>(std::make_unique<Cp932Rules>())
                            : std::make_unique<Utf8TextRules>()),
          list(*rules_) {}

    void AddAll(const std::vector<std::string>& texts) {
        for (const std::string& text : texts) {
            list.Add(text);
        }
    }

    std::unique_ptr<TextRules> rules_;
    SortedList list;
};

TEST_P(SortedListTest, KeepsAscendingCaseInsensitiveCharacterOrder) {
    struct Case {
        std::vector<std::string> added;
        std::vector<std::string> sorted;
    };
    const Case cases[] = {
        {{"2.mp3", "10.mp3", "1.mp3", "01.mp3"}, {"01.mp3", "1.mp3", "10.mp3", "2.mp3"}},
        {{"song2.MP3", "SONG.mp3", "b", "A"}, {"A", "b", "SONG.mp3", "song2.MP3"}},
        // Equal texts keep the order they arrived in.
        {{"b", "a", "B", "A"}, {"a", "A", "b", "B"}},
        {{"/m/z/", "/m/a b/", "/m/a/", "/M/A/x.mp3"}, {"/m/a b/", "/m/a/", "/M/A/x.mp3", "/m/z/"}},
        {{}, {}},
    };
    for (const Case& c : cases) {
        list.Reset();
        AddAll(c.added);
        EXPECT_EQ(AllTexts(list), c.sorted);
    }
}

TEST_P(SortedListTest, CountsEntriesBeforeTheyAreSorted) {
    AddAll({"c", "a"});
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Selection(), -1);
    list.Add("b");
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Text(1), "b");
    EXPECT_EQ(list.Text(3), "");
    EXPECT_EQ(list.Text(-1), "");
}

TEST_P(SortedListTest, SelectionStaysOnItsEntryWhenEntriesArriveBeforeIt) {
    AddAll({"m", "x"});
    list.Select(0);
    ASSERT_EQ(list.Text(list.Selection()), "m");

    AddAll({"a", "y", "b"});  // two before it, one after
    EXPECT_EQ(list.Selection(), 2);
    EXPECT_EQ(list.Caret(), 2);
    EXPECT_EQ(list.Text(list.Selection()), "m");

    list.Add("M");  // an equal text goes after the selected one
    EXPECT_EQ(list.Selection(), 2);
    list.Add("C");
    EXPECT_EQ(list.Text(list.Selection()), "m");
    EXPECT_EQ(AllTexts(list), (std::vector<std::string>{"a", "b", "C", "m", "M", "x", "y"}));
}

TEST_P(SortedListTest, SelectOutOfRangeClearsSelectionButKeepsCaret) {
    AddAll({"a", "b", "c"});
    list.Select(1);
    for (const int32_t outside : {3, -1, 100}) {
        list.Select(outside);
        EXPECT_EQ(list.Selection(), -1) << outside;
        EXPECT_EQ(list.Caret(), 1) << outside;
    }
    list.Add("0");  // the caret follows its entry too
    EXPECT_EQ(list.Caret(), 2);
}

TEST_P(SortedListTest, ResetEmptiesAndClearsSelection) {
    AddAll({"a", "b"});
    list.Select(1);
    list.Reset();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Selection(), -1);
    EXPECT_EQ(list.Caret(), 0);
    list.Add("z");
    EXPECT_EQ(list.Selection(), -1);
    EXPECT_EQ(list.Text(0), "z");
}

TEST_P(SortedListTest, HoldsMoreThan32767EntriesWith32BitPositions) {
    constexpr int32_t kEntries = 40000;
    for (int32_t i = kEntries - 1; i >= 0; --i) {
        char text[16];
        std::snprintf(text, sizeof text, "e%06d", static_cast<int>(i));
        list.Add(text);
    }
    ASSERT_EQ(list.Count(), kEntries);
    list.Select(kEntries - 1);
    EXPECT_EQ(list.Selection(), kEntries - 1);
    EXPECT_EQ(list.Text(kEntries - 1), "e039999");
    EXPECT_EQ(list.Text(32767), "e032767");
    EXPECT_EQ(list.Text(32768), "e032768");
}

INSTANTIATE_TEST_SUITE_P(BothSystems, SortedListTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& param) {
                             return param.param ? std::string("Cp932") : std::string("Utf8");
                         });

}  // namespace
}  // namespace tav::test
