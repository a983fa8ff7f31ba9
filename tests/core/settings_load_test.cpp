#include <gtest/gtest.h>

#include <climits>

#include "catalogue/path.h"
#include "fakes/current_dir.h"
#include "fakes/test_player.h"
#include "linux/native_text.h"
#include "player/control_table.h"
#include "settings/settings.h"

namespace tav::test {
namespace {

TEST(ParseNumber, ReadsBlanksSignsBasesAndFractions) {
    struct Case {
        const char* text;
        double value;
    };
    const Case cases[] = {
        {"", 0},
        {"42", 42},
        {" 2x", 2},
        {" \t \t7", 7},
        {"+7", 7},
        {"-8", -8},
        {"-00008", -8},
        {"&H1F", 31},
        {"&h1f", 31},
        {"&o17", 15},
        {"&O18", 1},  // 8 is no octal digit
        {"&X5", 0},
        {"-&H5", 0},
        {"&H", 0},
        {"&", 0},
        {"&HFFFFFFFF", 4294967295.0},
        {" &H10", 16},
        {"-1.5", -1.5},
        {"2.9", 2.9},
        {"\t+3.75x", 3.75},
        {".5", 0.5},
        {"5.", 5},
        {"-", 0},
        {"--5", 0},
        {"+-5", 0},
        {"1e5", 1},  // no exponent
        {"1 2", 1},
        {"x12", 0},
        {"12,000", 12},
        {std::string_view("7\0"
                          "8",
                          3)
             .data(),
         7},
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(ParseNumber(c.text), c.value) << '"' << c.text << '"';
    }
}

TEST(ParseNumber, HugeDigitRunsStayFinitePositiveOrInfinite) {
    const std::string many(400, '9');
    EXPECT_GT(ParseNumber(many), 1e300);
    EXPECT_LT(ParseNumber("-" + many), -1e300);
    EXPECT_DOUBLE_EQ(ParseNumber("0." + many), 1.0);
    EXPECT_GT(ParseNumber("&H" + many), 1e300);
}

struct Loaded {
    std::string folder;
    int unit;
    bool exclusionEnabled;
    std::string exclusion;
    Edges edges;
    int32_t target;
    std::string label;
};

const Edges kCreated{100, 100, 900, 736};  // where the fake window starts
const Edges kMoved{100, 50, 900, 686};
const Loaded kDefaults{"", 0, true, "", kCreated, 3, "MP3+WAV"};

struct LoadCase {
    const char* name;
    std::string bytes;
    Loaded expected;
};

Loaded With(Loaded base, const std::function<void(Loaded&)>& change) {
    change(base);
    return base;
}

Loaded Placed(Edges edges) {
    return With(kDefaults, [&](Loaded& l) { l.edges = edges; });
}

std::vector<LoadCase> LoadCases() {
    const std::string rect = "000100,000050,000900,000686\r\n";
    return {
        {"empty file", "", kDefaults},
        {"LF-only lines", "/music\n1\nlive\n000100,000050,000900,000686\n2\n", kDefaults},
        {"every line",
         "/music\r\n1\r\nlive\r\n" + rect + "2\r\n",
         {"/music", 1, false, "live", kMoved, 2, "WAV"}},
        {"no CR-LF after line 5",
         "/music\r\n0\r\nlive\r\n" + rect + "1",
         {"/music", 0, true, "live", kMoved, 3, "MP3+WAV"}},
        {"file ends in line 3",
         "/music\r\n1\r\nlive",
         {"/music", 1, false, "", kCreated, 3, "MP3+WAV"}},
        {"lines 3 and 4 run together",
         "/music\r\n1\r\nlive" + rect + "2\r\n",
         {"/music", 1, false, "live000100,0000", kCreated, 3, "MP3+WAV"}},
        {"empty line 1",
         "\r\n1\r\nlive\r\n" + rect + "1\r\n",
         {"", 1, false, "live", kMoved, 1, "MP3"}},
        {"empty lines 2 to 5", "/m\r\n\r\n\r\n\r\n\r\n",
         With(kDefaults, [](Loaded& l) { l.folder = "/m"; })},
        {"unit blank 2x", "\r\n 2x\r\n\r\n\r\n\r\n",
         With(kDefaults, [](Loaded& l) { l.unit = -1; })},
        {"unit 1.9 truncates to 1", "\r\n1.9\r\n\r\n\r\n\r\n",
         With(kDefaults,
              [](Loaded& l) {
                  l.unit = 1;
                  l.exclusionEnabled = false;
              })},
        {"target 0 stands for both", "\r\n\r\n\r\n\r\n0\r\n", kDefaults},
        {"target -1.5 truncates to -1", "\r\n\r\n\r\n\r\n-1.5\r\n",
         With(kDefaults, [](Loaded& l) { l.target = -1; })},
        {"target beyond 32 bits saturates", "\r\n\r\n\r\n\r\n99999999999\r\n",
         With(kDefaults, [](Loaded& l) { l.target = INT32_MAX; })},
        {"target below 32 bits saturates", "\r\n\r\n\r\n\r\n-99999999999\r\n",
         With(kDefaults,
              [](Loaded& l) {
                  l.target = INT32_MIN;
                  l.label = "MP3";
              })},
        {"unit beyond 32 bits selects nothing", "\r\n4294967297\r\n\r\n\r\n\r\n",
         With(kDefaults, [](Loaded& l) { l.unit = -1; })},
        {"negative coordinates", "\r\n\r\n\r\n-00008,-00008,000792,000628\r\n\r\n",
         Placed(Edges{-8, -8, 792, 628})},
        // The fake screen's available area is 0, 0 to 1920, 1040; the window is made 800 x 636.
        {"far right comes back", "\r\n\r\n\r\n500000,000050,501000,000700\r\n\r\n",
         Placed(Edges{920, 50, 1920, 700})},
        {"far up-left comes back", "\r\n\r\n\r\n-99999,-99999,-98999,-99299\r\n\r\n",
         Placed(Edges{0, 0, 1000, 700})},
        {"huge size shrinks to the area", "\r\n\r\n\r\n000000,000000,999999,999999\r\n\r\n",
         Placed(Edges{0, 0, 1920, 1040})},
        {"1 x 1 grows to the creation size", "\r\n\r\n\r\n000300,000200,000301,000201\r\n\r\n",
         Placed(Edges{300, 200, 1100, 836})},
        {"zero left and top still move", "\r\n\r\n\r\n000000,000000,000800,000636\r\n\r\n",
         Placed(Edges{0, 0, 800, 636})},
        {"right 0 keeps the window", "\r\n\r\n\r\n000100,000050,000000,000686\r\n\r\n", kDefaults},
        {"bottom 0 keeps the window", "\r\n\r\n\r\n000100,000050,000900,000000\r\n\r\n", kDefaults},
        // The writer widens -100000; the reader still takes the fixed columns.
        {"wide negative left", "\r\n\r\n\r\n-100000,000050,000900,000686\r\n\r\n", kDefaults},
        {"wide right shifts bottom out", "\r\n\r\n\r\n000100,000050,1000000,000686\r\n\r\n",
         kDefaults},
        {"wide bottom", "\r\n\r\n\r\n000100,000050,000900,1000000\r\n\r\n",
         Placed(Edges{100, 0, 900, 1040})},
        {"commas unchecked, tail ignored", "\r\n\r\n\r\n000100x000050y000900z000686 junk\r\n\r\n",
         Placed(kMoved)},
        {"short line 4", "\r\n\r\n\r\n000100,000050,000900,0006\r\n\r\n",
         Placed(Edges{100, 50, 900, 686})},
        {"line 4 cut inside right", "\r\n\r\n\r\n000100,000050,00\r\n\r\n", kDefaults},
        {"blanks inside fields", "\r\n\r\n\r\n   100,    50,   900,   686\r\n\r\n", Placed(kMoved)},
        {"lines after the fifth ignored", "\r\n\r\n\r\n\r\n2\r\n/other\r\n1\r\n",
         With(kDefaults,
              [](Loaded& l) {
                  l.target = 2;
                  l.label = "WAV";
              })},
        {"folder ends at a NUL", std::string("/a\0b\r\n", 6),
         With(kDefaults, [](Loaded& l) { l.folder = "/a"; })},
        {"lone CR and LF stay in the folder", "/a\rb\nc\r\r\n1\r\n\r\n\r\n\r\n",
         With(kDefaults,
              [](Loaded& l) {
                  l.folder = "/a\rb\nc\r";
                  l.unit = 1;
                  l.exclusionEnabled = false;
              })},
        {"exclusion cut to 15 bytes", "\r\n\r\nabcdefghijklmnopq\r\n\r\n\r\n",
         With(kDefaults, [](Loaded& l) { l.exclusion = "abcdefghijklmno"; })},
        // 14 bytes and a three-byte character: the character is dropped whole.
        {"exclusion cut at a character", "\r\n\r\nabcdefghijklmnあ\r\n\r\n\r\n",
         With(kDefaults, [](Loaded& l) { l.exclusion = "abcdefghijklmn"; })},
    };
}

class SettingsLoadTest : public ::testing::Test {
protected:
    static std::string SettingsName() {
        return SplitPath(NativeFileSystem().ExecutablePath(), NativeTextRules()).baseName + ".ini";
    }
    TempDir dir;
    ScopedCurrentDir inside{dir.Root()};
};

void ExpectLoaded(const TestPlayer& t, const Loaded& e, const char* name) {
    SCOPED_TRACE(name);
    EXPECT_EQ(t.window.ControlText(FolderEdit), e.folder);
    EXPECT_EQ(t.window.comboSelection, e.unit);
    EXPECT_EQ(t.window.IsControlEnabled(ExclusionEdit), e.exclusionEnabled);
    EXPECT_EQ(t.window.ControlText(ExclusionEdit), e.exclusion);
    EXPECT_EQ(t.player.options.exclusionText, e.exclusion);
    EXPECT_EQ(t.window.edges, e.edges);
    EXPECT_EQ(t.player.options.playTarget, e.target);
    EXPECT_EQ(t.window.ControlText(TargetLabel), e.label);
}

TEST_F(SettingsLoadTest, EveryLineAndItsDefault) {
    for (const LoadCase& c : LoadCases()) {
        dir.AddFile(SettingsName(), c.bytes);
        TestPlayer t;
        t.Send(WM_CREATE_);
        ExpectLoaded(t, c.expected, c.name);
    }
}

TEST_F(SettingsLoadTest, MissingFileTouchesNothing) {
    TestPlayer t;
    t.Send(WM_CREATE_);
    t.window.SetControlText(FolderEdit, "/typed");
    t.window.SetComboSelection(1);
    t.player.options.playTarget = 2;
    LoadSettings(t.player);
    EXPECT_EQ(t.window.ControlText(FolderEdit), "/typed");
    EXPECT_EQ(t.window.comboSelection, 1);
    EXPECT_EQ(t.player.options.playTarget, 2);
    EXPECT_EQ(t.window.edges, kCreated);
}

TEST_F(SettingsLoadTest, EmptyExclusionLineKeepsTheCurrentText) {
    TestPlayer t;
    t.Send(WM_CREATE_);
    dir.AddFile(t.player.settingsFile, "\r\n\r\n\r\n\r\n\r\n");
    t.player.options.exclusionText = "Live";
    LoadSettings(t.player);
    EXPECT_EQ(t.player.options.exclusionText, "Live");
    EXPECT_EQ(t.window.ControlText(ExclusionEdit), "Live");
}

TEST_F(SettingsLoadTest, LongFolderIsCutAtACharacterWithinThePathLimit) {
    struct Case {
        std::unique_ptr<TextRules> rules;
        std::string line;
        std::string expected;
    };
    // ソ (0x83 0x5C) straddles 259 bytes on Windows; あ straddles 4095 bytes on Linux.
    const std::string windowsHead = "C:\\" + std::string(255, 'a');
    const std::string linuxHead = "/" + std::string(4093, 'a');
    Case cases[] = {
        {std::make_unique<Cp932Rules>(), windowsHead + "\x83\x5C" + "b", windowsHead},
        {std::make_unique<Cp932Rules>(), windowsHead + "bcde", windowsHead + "b"},
        {std::make_unique<Utf8TextRules>(), linuxHead + "\xE3\x81\x82", linuxHead},
        {std::make_unique<Utf8TextRules>(), linuxHead + "bcd", linuxHead + "b"},
    };
    for (const Case& c : cases) {
        TestPlayer t(*c.rules);
        t.Send(WM_CREATE_);
        dir.AddFile(t.player.settingsFile, c.line + "\r\n");
        LoadSettings(t.player);
        EXPECT_EQ(t.window.ControlText(FolderEdit), c.expected);
    }
}

}  // namespace
}  // namespace tav::test
