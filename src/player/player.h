#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/media_device.h"
#include "platform/tag_library.h"
#include "platform/text_rules.h"
#include "platform/wave_volume.h"
#include "platform/window.h"

namespace tav {

// The operating-system services the core reaches, each owned by the front end.
struct Seams {
    Window& window;
    TrackListBox& trackList;
    FolderBrowser& folderBrowser;
    MediaDevice& device;
    WaveVolume& volume;
    FileSystem& files;
    TagLibraryLoader& tags;
    const TextRules& text;
    const Clock& clock;
    intptr_t windowHandle = 0;  // handed to the tag library as its owner window
};

// The piece being played: one track-list entry and the number of the file within it.
struct PieceRecord {
    std::string currentEntry;
    int32_t fileIndex = 0;  // 1-based; 0 = no piece loaded
    int32_t fileCount = 0;  // 0 = load the caret entry on the next play; -1 = unlistable
    int32_t entryKind = 0;  // PathKind of currentEntry
};

// Watches the advance for a list in which nothing gives sound, so that it stops instead of
// restarting files that end at once for ever.
struct SilenceWatch {
    uint32_t fileStart = 0;     // tick count when the current file started playing
    bool pieceSounded = false;  // a file of the current piece played for a while
    std::vector<bool> silent;   // list positions ended without sound since anything last sounded
    int32_t silentCount = 0;    // positions set in `silent`
};

struct PlaybackState {
    PieceRecord piece;
    SilenceWatch silence;
    uint32_t deviceId = 0;  // 0 = no device open
    bool positionLive = false;
    // Where keys have moved the position bar since it was last let go, exact to the
    // millisecond; the seek goes there on the release.
    std::optional<uint32_t> keyedPositionMs;
    bool randomMode = false;
    bool paused = false;  // the open device stands where the pause left it, to be resumed
};

struct RandomState {
    std::vector<int32_t> shufflePool;  // the first poolCount elements are still to be drawn
    int32_t poolCount = 0;
    uint32_t randomSeed = 1;
};

// Play-target bits: the file types a scan lists.
inline constexpr int32_t kPlayMp3 = 1;
inline constexpr int32_t kPlayWav = 2;
inline constexpr int32_t kPlayBoth = kPlayMp3 | kPlayWav;

struct OptionState {
    int32_t playTarget = kPlayBoth;
    std::string exclusionText;  // at most 15 bytes
};

struct LogState {
    bool logEnabled = true;
    bool logRewritePending = true;
};

// All program-wide state, grouped by the subsystem that owns it. Every operation takes the
// player explicitly; nothing lives in globals.
class Player {
public:
    explicit Player(const Seams& seams) : seams_(seams) {}

    Window& window() { return seams_.window; }
    TrackListBox& trackList() { return seams_.trackList; }
    FolderBrowser& folderBrowser() { return seams_.folderBrowser; }
    MediaDevice& device() { return seams_.device; }
    WaveVolume& volume() { return seams_.volume; }
    FileSystem& files() { return seams_.files; }
    TagLibraryLoader& tags() { return seams_.tags; }
    const TextRules& text() const { return seams_.text; }
    const Clock& clock() const { return seams_.clock; }
    intptr_t windowHandle() const { return seams_.windowHandle; }
    PathStyle pathStyle() const { return seams_.text.Style(); }

    PlaybackState playback;
    RandomState random;
    OptionState options;
    LogState log;
    std::string settingsFile;

private:
    Seams seams_;
};

}  // namespace tav
