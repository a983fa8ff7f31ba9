// ParseNumber on any bytes, and LoadSettings on any settings file: nothing overruns, every
// value lands in its home, and what is loaded saves and loads back to the same file.
#include <cmath>
#include <cstdint>
#include <string>

#include "fakes/test_player.h"
#include "fuzz_check.h"
#include "player/control_table.h"
#include "settings/settings.h"

namespace {

using namespace tav;

// The settings file in memory; everything else about files is absent.
class MemoryFileSystem : public FileSystem {
public:
    std::optional<bool> Lookup(const std::string&) const override { return std::nullopt; }
    std::unique_ptr<DirectorySearch> List(const std::string&) const override { return nullptr; }
    std::optional<FolderIdentity> Identify(const std::string&) const override {
        return std::nullopt;
    }
    std::optional<std::string> ReadFile(const std::string&) const override { return content; }
    bool WriteToFile(const std::string&, const std::string& bytes, WriteMode) override {
        content = bytes;
        return true;
    }
    bool ReplaceFile(const std::string&, const std::string& bytes) override {
        content = bytes;
        return true;
    }
    std::string ExecutablePath() const override { return "/fuzz/tavrello"; }

    std::optional<std::string> content;
};

// One player per path style, built once; every input starts from the state that
// StartupInit leaves, so each run depends on its input alone.
struct FuzzPlayer {
    explicit FuzzPlayer(const TextRules& rules) : t(rules) {
        t.window.CreateControls();
        t.window.AddComboItem("0");
        t.window.AddComboItem("1");
        player.settingsFile = "tavrello.ini";
    }
    void Reset(const std::string& bytes) {
        t.window.SetControlText(FolderEdit, "");
        t.window.SetControlText(ExclusionEdit, "");
        t.window.EnableControl(ExclusionEdit, true);
        t.window.SetComboSelection(0);
        t.window.edges = {100, 100, 900, 736};
        player.options = {};
        files.content = bytes;
    }
    test::TestPlayer t;
    MemoryFileSystem files;
    Player player{Seams{t.window, t.list, t.browser, t.device, t.volume, files, t.tags,
                        t.nativeText, t.clock, 0}};
};

// Loads the bytes and saves what was loaded.
std::string LoadAndSave(FuzzPlayer& fuzz, const std::string& bytes) {
    fuzz.Reset(bytes);
    LoadSettings(fuzz.player);
    const Window& window = fuzz.t.window;
    FUZZ_CHECK(window.ControlText(FolderEdit).size() <= fuzz.player.pathStyle().maxPath);
    FUZZ_CHECK(fuzz.player.options.exclusionText.size() <= 15);
    FUZZ_CHECK(window.ControlText(ExclusionEdit) == fuzz.player.options.exclusionText);
    FUZZ_CHECK(fuzz.player.options.playTarget != 0);
    SaveSettings(fuzz.player);
    FUZZ_CHECK(fuzz.files.content.has_value());
    return *fuzz.files.content;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    FUZZ_CHECK(!std::isnan(ParseNumber(bytes)));

    static const test::Cp932Rules windows;
    static const Utf8TextRules linuxStyle;
    static FuzzPlayer windowsPlayer(windows);
    static FuzzPlayer linuxPlayer(linuxStyle);
    FuzzPlayer& fuzz = size > 0 && (data[0] & 1) != 0 ? windowsPlayer : linuxPlayer;
    const std::string saved = LoadAndSave(fuzz, bytes);
    FUZZ_CHECK(LoadAndSave(fuzz, saved) == saved);
    return 0;
}
