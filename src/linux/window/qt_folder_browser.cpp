#include "linux/window/qt_folder_browser.h"

#include <QFile>
#include <QFileDialog>

namespace tav {

std::optional<std::string> QtFolderBrowser::Browse(const std::string& title,
                                                   const std::optional<std::string>& initial) {
    QFileDialog dialog(&owner_, QString::fromStdString(title));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (initial) {
        dialog.setDirectory(QFile::decodeName(QByteArray::fromStdString(*initial)));
    }
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
