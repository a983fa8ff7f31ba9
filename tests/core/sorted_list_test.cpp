#include "catalogue/sorted_list.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "fakes/fake_seams.h"
#include "linux/native_text.h"

namespace tav::test {
namespace {

using Texts = std::vector<std::string>;

// Both systems' text rules must give a list box's order and selection behaviour.
class SortedListTest : public ::testing::TestWithParam<bool> {
protected:
    SortedListTest()
        : rules_(GetParam() ? std::unique_ptr<TextRules>(std::make_unique<Cp932Rules>())
                            : std::make_unique<Utf8TextRules>()),
          list(*rules_) {}

    void AddAll(const Texts& texts) {
        for (const std::string& text : texts) {
            list.Add(text);
        }
    }
    Texts AllTexts() const {
        Texts texts;
        for (int32_t i = 0; i < list.Count(); ++i) {
            texts.push_back(list.Text(i));
        }
        return texts;
    }

    std::unique_ptr<TextRules> rules_;
    SortedList list;
};

TEST_P(SortedListTest, KeepsAscendingCaseInsensitiveCharacterOrder) {
    const std::pair<Texts, Texts> cases[] = {
        {{"2.mp3", "10.mp3", "1.mp3", "01.mp3"}, {"01.mp3", "1.mp3", "10.mp3", "2.mp3"}},
        {{"song2.MP3", "SONG.mp3", "b", "A"}, {"A", "b", "SONG.mp3", "song2.MP3"}},
        {{"b", "a", "B", "A"}, {"a", "A", "b", "B"}},  // equal texts keep their arrival order
        {{"/m/z/", "/m/a b/", "/m/a/", "/M/A/x.mp3"}, {"/m/a b/", "/m/a/", "/M/A/x.mp3", "/m/z/"}},
    };
    for (const auto& [added, sorted] : cases) {
        list.Reset();
        AddAll(added);
        EXPECT_EQ(list.Count(), static_cast<int32_t>(added.size()));
        EXPECT_EQ(AllTexts(), sorted);
    }
    EXPECT_EQ(list.Text(4), "");
    EXPECT_EQ(list.Text(-1), "");
}

TEST_P(SortedListTest, SelectionAndCaretStayOnTheirEntryWhenEntriesArriveBeforeIt) {
    AddAll({"m", "x"});
    EXPECT_EQ(list.Selection(), -1);
    list.Select(0);
    AddAll({"a", "y", "b"});  // two before it, one after
    EXPECT_EQ(list.Selection(), 2);
    EXPECT_EQ(list.Caret(), 2);
    list.Add("M");  // an equal text goes after the selected one
    EXPECT_EQ(list.Selection(), 2);
    list.Select(5);
    list.Select(7);  // out of range: nothing selected, the caret stays
    EXPECT_EQ(list.Selection(), -1);
    list.Add("C");
    EXPECT_EQ(list.Caret(), 6);
    EXPECT_EQ(AllTexts(), (Texts{"a", "b", "C", "m", "M", "x", "y"}));
    list.Reset();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Selection(), -1);
    EXPECT_EQ(list.Caret(), 0);
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
    EXPECT_EQ(list.Text(32768), "e032768");
}

INSTANTIATE_TEST_SUITE_P(BothSystems, SortedListTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& param) {
                             return param.param ? std::string("Cp932") : std::string("Utf8");
                         });

}  // namespace
}  // namespace tav::test
