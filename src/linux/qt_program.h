#pragma once

#include "linux/audio/gst_device.h"
#include "linux/audio/pulse_volume.h"
#include "linux/desktop/mpris_device.h"
#include "linux/desktop/mpris_service.h"
#include "linux/desktop/qt_session_end.h"
#include "linux/system/dl_tag_library.h"
#include "linux/system/instance_lock.h"
#include "linux/system/native_text.h"
#include "linux/system/posix_file_system.h"
#include "linux/system/qt_text_rules.h"
#include "linux/window/qt_folder_browser.h"
#include "linux/window/qt_main_window.h"
#include "linux/window/qt_track_list.h"
#include "player/player.h"

namespace tav {

// The Linux player assembled: the Qt window and list, the GStreamer device, the sound
// server's volume, the tag plug-in beside the program, around one player. Needs a
// QApplication; Open() creates the window, runs the start-up and offers the player to the
// desktop's media controls when there is a session bus. From construction on, the end of the
// session or a termination signal closes the window as its close button does (QtSessionEnd).
class LinuxProgram {
public:
    LinuxProgram();
    // Writes the player's bus address into the lock it runs under, once it is on the bus.
    void Open(InstanceLock& lock);

    CollatingTextRules text;
    MonotonicClock clock;
    PosixFileSystem files;
    QtTrackList trackList{text};
    QtMainWindow window{trackList};
    QtFolderBrowser browser{window};
    GstMediaDevice device{window};
    FileTrackingDevice trackedDevice{device};
    PulseWaveVolume volume;
    DlTagLibraryLoader tags;
    Player player;
    MprisService mpris{window, player, trackedDevice};
    QtSessionEnd sessionEnd{window};
};

// The lock of the settings folder: the current directory, where the settings file is named
// after the program.
std::string InstanceLockPath();

// Another player holds `lock`: asks it to raise its window (waiting up to 3 s for it to come
// on the bus while it starts) and writes nothing.
void HandOverStart(const InstanceLock& lock);
}  // namespace tav
