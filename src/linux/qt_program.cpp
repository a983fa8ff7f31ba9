#include "linux/qt_program.h"

#include <QThread>
#include <filesystem>

namespace tav {
namespace {

std::string PluginPath(const FileSystem& files) {
    return (std::filesystem::path(files.ExecutablePath()).parent_path() / "mp3infp.so").string();
}

}  // namespace

LinuxProgram::LinuxProgram()
    : tags(PluginPath(files)),
      player(
          Seams{window, trackList, browser, trackedDevice, volume, files, tags, text, clock, 0}) {}

void LinuxProgram::Open(InstanceLock& lock) {
    window.AttachPlayer(player);
    window.Open();
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (mpris.Register(bus)) {
        lock.WriteAddress(bus.baseService().toStdString());
    }
}

std::string InstanceLockPath() {
    return std::filesystem::path(PosixFileSystem().ExecutablePath()).stem().string() + ".lock";
}

void HandOverStart(const InstanceLock& lock) {
    constexpr int kTries = 30;
    constexpr unsigned long kPauseMs = 100;
    for (int i = 0; i < kTries; ++i) {
        const std::string address = lock.ReadAddress();
        if (!address.empty()) {
            MprisService::RaiseOther(QDBusConnection::sessionBus(),
                                     QString::fromStdString(address));
            return;
        }
        QThread::msleep(kPauseMs);
    }
}

}  // namespace tav
