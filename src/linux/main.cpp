// Tavrello on Linux: the Qt window, the GStreamer device, the sound server's volume and the
// tag plug-in beside the program, around the one core.
#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "linux/desktop/qt_icon.h"
#include "linux/desktop/qt_translations.h"
#include "linux/qt_program.h"

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
    QApplication::setDesktopFileName(tav::kDesktopId);  // the desktop's link to its menu entry
    const tav::QtTranslations translations(QLocale::system());

    // A second player on the same settings would overwrite the first one's at its close.
    tav::InstanceLock lock(tav::InstanceLockPath());
    if (!lock.Owned()) {
        tav::HandOverStart(lock);
        return 0;
    }
    tav::LinuxProgram program;
    program.Open(lock);
    return QApplication::exec();
}
