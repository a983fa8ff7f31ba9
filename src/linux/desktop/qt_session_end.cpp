#include "linux/desktop/qt_session_end.h"

#include <fcntl.h>
#include <unistd.h>

#include <QGuiApplication>
#include <atomic>
#include <cerrno>

namespace tav {
namespace {

// The pipe's writing end, for the handler: a signal handler reaches no object.
std::atomic<int> signalPipe{-1};

// Only what is safe in a signal handler: one write, which never blocks (a full pipe already
// holds a byte to wake the loop).
void OnSignal(int /*signal*/) {
    const int savedErrno = errno;
    const char byte = 0;
    [[maybe_unused]] const ssize_t written = write(signalPipe.load(), &byte, 1);
    errno = savedErrno;
}

}  // namespace

QtSessionEnd::QtSessionEnd(QtMainWindow& window) : window_(window) {
    connect(
        qGuiApp, &QGuiApplication::commitDataRequest, this,
        [this](QSessionManager& /*manager*/) {
            window_.Route({WM_QUERYENDSESSION_, 0, 0});
        },
        Qt::DirectConnection);
    // Without a pipe (no descriptor left) the signals keep their default action: they end the
    // program unsaved.
    if (pipe2(pipe_.data(), O_CLOEXEC | O_NONBLOCK) != 0) {
        return;
    }
    signalPipe.store(pipe_[1]);
    notifier_ = std::make_unique<QSocketNotifier>(pipe_[0], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &QtSessionEnd::OnSignalled);
    InstallHandlers();
}

QtSessionEnd::~QtSessionEnd() {
    for (std::size_t i = 0; i < kSignals.size(); ++i) {
        if (installed_[i]) {
            sigaction(kSignals[i], &previous_[i], nullptr);
        }
    }
    signalPipe.store(-1);
    notifier_.reset();
    for (const int end : pipe_) {
        if (end >= 0) {
            close(end);
        }
    }
}

void QtSessionEnd::InstallHandlers() {
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;  // a call the signal interrupts, on any thread, goes on
    for (std::size_t i = 0; i < kSignals.size(); ++i) {
        if (sigaction(kSignals[i], nullptr, &previous_[i]) == 0 &&
            previous_[i].sa_handler != SIG_IGN) {
            installed_[i] = sigaction(kSignals[i], &action, nullptr) == 0;
        }
    }
}

void QtSessionEnd::OnSignalled() {
    std::array<char, 16> bytes{};
    while (read(pipe_[0], bytes.data(), bytes.size()) > 0) {
    }
    window_.close();  // a second signal closes nothing more: the core destroys the window once
}

}  // namespace tav
