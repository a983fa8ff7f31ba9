#pragma once

#include <QApplication>

#include "fakes/fake_seams.h"
#include "fakes/simulated_device.h"
#include "linux/native_text.h"
#include "linux/posix_file_system.h"
#include "linux/qt_main_window.h"
#include "linux/qt_track_list.h"
#include "player/player.h"

namespace tav::test {

// The one application object the widgets need, kept to the end; offscreen unless named.
inline QApplication& TestApplication() {
    static int argc = 1;
    static char name[] = "linux_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        auto* made = new QApplication(argc, argv);
        made->setQuitOnLastWindowClosed(false);
        return made;
    }();
    return *app;
}

// The real Qt window and list around a player whose other seams are fakes.
struct QtTestPlayer {
    QtTestPlayer() { window.AttachPlayer(player); }

    QApplication& app = TestApplication();
    Utf8TextRules text;
    QtTrackList list{text};
    QtMainWindow window{list};
    FakeFolderBrowser browser;
    FakeEventQueue queue;
    PosixFileSystem files;
    FakeClock clock;
    SimulatedDevice device{files, queue, clock};
    FakeVolume volume;
    FakeTagLoader tags;
    Player player{Seams{window, list, browser, device, volume, files, tags, text, clock, 0}};
};

}  // namespace tav::test
