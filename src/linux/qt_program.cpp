#include "linux/qt_program.h"

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

void LinuxProgram::Open() {
    window.AttachPlayer(player);
    window.Open();
    mpris.Register(QDBusConnection::sessionBus());
}

}  // namespace tav
