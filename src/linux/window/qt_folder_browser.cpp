#include "linux/window/qt_folder_browser.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

#include "linux/window/qt_fixed_texts.h"

namespace tav {
namespace {

// With no root to start from: the user's music folder, else home. Never the current
// directory, which for a start from the menu is the settings folder.
QString DefaultFolder() {
    const QString music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    return !music.isEmpty() && QFileInfo(music).isDir() ? music : QDir::homePath();
}

}  // namespace

std::optional<std::string> QtFolderBrowser::Browse(const std::string& title,
                                                   const std::optional<std::string>& initial) {
    QFileDialog dialog(&owner_, FixedText(title));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setDirectory(initial ? QFile::decodeName(QByteArray::fromStdString(*initial))
                                : DefaultFolder());
    // Its loop goes on delivering posted notices and timer ticks while the user chooses.
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    std::string path = QFile::encodeName(dialog.selectedFiles().first()).toStdString();
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

}  // namespace tav
