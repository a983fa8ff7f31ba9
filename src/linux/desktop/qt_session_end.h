#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <array>
#include <csignal>
#include <memory>

#include "linux/window/qt_main_window.h"

namespace tav {

// The ends of a session the window never sees as a close. SIGTERM (a logout, `systemctl --user
// stop`), SIGHUP (the terminal or the session gone) and SIGINT (Ctrl+C) close the window as its
// close button does, from the event loop: the handler only writes a byte to a pipe. A signal
// ignored at start (nohup, a background job) stays ignored. The session manager's request to
// commit data routes WM_QUERYENDSESSION, which saves the settings and leaves the window open:
// a logout may still be called off, and a session checkpoint asks the same; when the session
// does end, Qt closes the window. One object at a time; it needs a QGuiApplication.
class QtSessionEnd : public QObject {
public:
    explicit QtSessionEnd(QtMainWindow& window);
    ~QtSessionEnd() override;
    QtSessionEnd(const QtSessionEnd&) = delete;
    QtSessionEnd& operator=(const QtSessionEnd&) = delete;

private:
    static constexpr std::array<int, 3> kSignals{SIGTERM, SIGHUP, SIGINT};

    void InstallHandlers();
    void OnSignalled();

    QtMainWindow& window_;
    std::array<int, 2> pipe_{-1, -1};
    std::unique_ptr<QSocketNotifier> notifier_;
    std::array<struct sigaction, kSignals.size()> previous_{};
    std::array<bool, kSignals.size()> installed_{};
};

}  // namespace tav
