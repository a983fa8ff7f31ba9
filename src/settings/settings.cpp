#include "settings/settings.h"

#include <array>
#include <cstdio>
#include <limits>
#include <optional>

#include "player/control_table.h"
#include "player/display.h"
#include "player/layout.h"
#include "player/text_cut.h"

namespace tav {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::size_t kLineCount = 5;
constexpr int32_t kPerFileUnit = 1;
// Far more than the five lines can use (the longest is a path of at most 4095 bytes); a
// larger file is read no further.
constexpr std::size_t kReadLimit = 64 * 1024;

// Line 4 holds four six-byte fields at columns 1, 8, 15 and 22.
constexpr std::size_t kFieldWidth = 6;
constexpr std::size_t kFieldStride = 7;

using Lines = std::array<std::optional<std::string_view>, kLineCount>;

// A line counts only when CR-LF ends it and it is not empty; the first line without CR-LF
// leaves itself and every later line out.
Lines SplitLines(std::string_view bytes) {
    Lines lines{};
    std::size_t start = 0;
    for (std::optional<std::string_view>& line : lines) {
        const std::size_t end = bytes.find(kLineEnd, start);
        if (end == std::string_view::npos) {
            break;
        }
        if (end > start) {
            line = bytes.substr(start, end - start);
        }
        start = end + kLineEnd.size();
    }
    return lines;
}

// Truncation toward zero; numbers beyond the 32-bit range keep the nearest end of it.
int32_t ToInt32(double value) {
    if (value != value) {
        return 0;
    }
    if (value >= static_cast<double>(std::numeric_limits<int32_t>::max())) {
        return std::numeric_limits<int32_t>::max();
    }
    if (value <= static_cast<double>(std::numeric_limits<int32_t>::min())) {
        return std::numeric_limits<int32_t>::min();
    }
    return static_cast<int32_t>(value);
}

int32_t NumberOr(const std::optional<std::string_view>& line, int32_t fallback) {
    return line ? ToInt32(ParseNumber(*line)) : fallback;
}

int DigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Reads the longest run of digits of the base from `at`, moving `at` behind it.
double ReadDigits(std::string_view text, std::size_t& at, int base) {
    double value = 0;
    for (; at < text.size(); ++at) {
        const int digit = DigitValue(text[at]);
        if (digit < 0 || digit >= base) {
            break;
        }
        value = value * base + digit;
    }
    return value;
}

// "&O17" and "&H1F": no sign, and any other letter reads as 0.
double ParseBased(std::string_view text) {
    if (text.empty()) {
        return 0;
    }
    const char letter = text[0];
    const int base = letter == 'o' || letter == 'O' ? 8 : (letter == 'h' || letter == 'H' ? 16 : 0);
    std::size_t at = 1;
    return base == 0 ? 0 : ReadDigits(text, at, base);
}

double ReadFraction(std::string_view text, std::size_t at) {
    double value = 0;
    double scale = 0.1;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        value += (text[at] - '0') * scale;
        scale /= 10;
    }
    return value;
}

// The reader takes the fixed columns, whatever a wider field written by the writer shifted.
Edges ReadRectangle(std::string_view line) {
    std::array<int32_t, 4> values{};
    for (std::size_t i = 0; i < values.size(); ++i) {
        const std::size_t start = i * kFieldStride;
        const std::string_view field =
            start < line.size() ? line.substr(start, kFieldWidth) : std::string_view();
        values[i] = ToInt32(ParseNumber(field));
    }
    return {values[0], values[1], values[2], values[3]};
}

struct StoredSettings {
    std::string rootFolder;
    int32_t unit = 0;
    std::optional<std::string> exclusionText;
    Edges rectangle;
    int32_t playTarget = kPlayBoth;
};

// Values beyond their homes are cut at a character boundary, never written past them.
StoredSettings ReadSettings(const Player& player, std::string_view bytes) {
    const Lines lines = SplitLines(bytes);
    StoredSettings stored;
    if (lines[0]) {
        stored.rootFolder =
            CutToLimit(UpToNul(*lines[0]), player.pathStyle().maxPath, player.text());
    }
    // Only the combo's two entries are units; anything else would blank the combo and be
    // saved back as -1, so it reads as the default.
    const int32_t unit = NumberOr(lines[1], 0);
    stored.unit = unit == kPerFileUnit ? kPerFileUnit : 0;
    if (lines[2]) {
        stored.exclusionText = CutToLimit(UpToNul(*lines[2]), kExclusionTextLimit, player.text());
    }
    if (lines[3]) {
        stored.rectangle = ReadRectangle(*lines[3]);
    }
    const int32_t target = NumberOr(lines[4], 0);
    stored.playTarget = target != 0 ? target : kPlayBoth;
    return stored;
}

void ApplySettings(Player& player, const StoredSettings& stored) {
    Window& window = player.window();
    window.SetControlText(FolderEdit, stored.rootFolder);
    window.SetComboSelection(stored.unit);
    if (stored.unit == kPerFileUnit) {
        window.EnableControl(ExclusionEdit, false);
    }
    if (stored.exclusionText) {
        player.options.exclusionText = *stored.exclusionText;
    }
    window.SetControlText(ExclusionEdit, player.options.exclusionText);
    const Edges& saved = stored.rectangle;
    if (saved.right != 0 && saved.bottom != 0) {
        window.MoveWindow(FitSavedWindow(saved, window.AvailableArea(saved)));
    }
    player.options.playTarget = stored.playTarget;
    ShowPlayTarget(player, stored.playTarget);
}

// A text holding CR-LF (possible in a Linux folder name) would shift every later line, and
// the format has no way to quote it: such a text is stored as empty, so the other settings
// keep their places and no other folder is ever read back in its stead.
std::string StorableLine(const std::string& text) {
    const bool breaksLine = text.find(kLineEnd) != std::string::npos;
    return (breaksLine ? std::string() : text) + std::string(kLineEnd);
}

std::string SettingsText(Player& player) {
    const Window& window = player.window();
    const Edges edges = window.WindowEdges();
    char rectangle[68];
    std::snprintf(rectangle, sizeof rectangle, "%06d,%06d,%06d,%06d", edges.left, edges.top,
                  edges.right, edges.bottom);
    const std::string folder =
        CutToLimit(window.ControlText(FolderEdit), player.pathStyle().maxPath, player.text());
    return StorableLine(folder) + StorableLine(std::to_string(window.ComboSelection())) +
           StorableLine(player.options.exclusionText) + StorableLine(rectangle) +
           StorableLine(std::to_string(player.options.playTarget));
}

}  // namespace

double ParseNumber(std::string_view text) {
    std::size_t at = text.find_first_not_of(" \t");
    if (at == std::string_view::npos) {
        return 0;
    }
    if (text[at] == '&') {
        return ParseBased(text.substr(at + 1));
    }
    const bool negative = text[at] == '-';
    if (negative || text[at] == '+') {
        ++at;
    }
    double value = ReadDigits(text, at, 10);
    if (at < text.size() && text[at] == '.') {
        value += ReadFraction(text, at + 1);
    }
    return negative ? -value : value;
}

void LoadSettings(Player& player) {
    const std::optional<std::string> bytes =
        player.files().ReadFile(player.settingsFile, kReadLimit);
    if (!bytes) {
        return;
    }
    const StoredSettings stored = ReadSettings(player, *bytes);
    ApplySettings(player, stored);
}

// Written in one step: a crash or a full disk while saving leaves the previous file whole.
void SaveSettings(Player& player) {
    player.files().ReplaceFile(player.settingsFile, SettingsText(player));
}

}  // namespace tav
