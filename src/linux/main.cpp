// Tavrello on Linux: the Qt window, the GStreamer device, the sound server's volume and the
// tag plug-in beside the program, around the one core.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "app/player.h"
#include "linux/dl_tag_library.h"
#include "linux/gst_device.h"
#include "linux/native_text.h"
#include "linux/posix_file_system.h"
#include "linux/pulse_volume.h"
#include "linux/qt_folder_browser.h"
#include "linux/qt_main_window.h"
#include "linux/qt_track_list.h"

namespace {

constexpr int kNoDisplay = 2;

bool IsSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

// Qt would abort without a display to open; say what to do instead.
bool HasDisplay() {
    return IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY") || IsSet("QT_QPA_PLATFORM");
}

std::string PluginPath(const tav::FileSystem& files) {
    return (std::filesystem::path(files.ExecutablePath()).parent_path() / "mp3infp.so").string();
}

}  // namespace

int main(int argc, char** argv) {
    if (!HasDisplay()) {
        std::fputs(
            "tavrello: no display (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
            "Run it in a graphical session, or on a virtual display: xvfb-run -a ./tavrello\n",
            stderr);
        return kNoDisplay;
    }
    // The command line is not read: Qt sees the program name only.
    static char fallbackName[] = "tavrello";
    int qtArgc = 1;
    char* qtArgv[] = {argc > 0 ? argv[0] : fallbackName, nullptr};
    QApplication app(qtArgc, qtArgv);
    app.setQuitOnLastWindowClosed(false);  // the window's destruction quits, through the core

    const tav::Utf8TextRules text;
    const tav::MonotonicClock clock;
    tav::PosixFileSystem files;
    tav::QtTrackList trackList(text);
    tav::QtMainWindow window(trackList);
    tav::QtFolderBrowser browser(window);
    tav::GstMediaDevice device(window);
    tav::PulseWaveVolume volume;
    tav::DlTagLibraryLoader tags(PluginPath(files));
    tav::Player player(
        tav::Seams{window, trackList, browser, device, volume, files, tags, text, clock, 0});

    window.AttachPlayer(player);
    window.Open();
    return QApplication::exec();
}
