// The folder browser on a real directory dialog, answered from inside its own loop.
#include <gtest/gtest.h>

#include <QFileDialog>
#include <QTimer>

#include "fakes/test_player.h"
#include "linux/qt_folder_browser.h"
#include "qt_test_support.h"

namespace tav::test {
namespace {

TEST(QtFolderBrowserTest, ConfirmingReturnsTheFolderAndCancellingNothing) {
    TestApplication();
    QWidget owner;
    QtFolderBrowser browser{owner};
    const TempDir dir;
    const std::string folder = dir.AddFolder("曲/アルバム");
    for (const bool confirm : {true, false}) {
        QString title;
        QString shown;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            title = dialog->windowTitle();
            shown = dialog->directory().absolutePath();
            QDialog& answered = *dialog;
            confirm ? answered.accept() : answered.reject();
        });
        const auto chosen = browser.Browse("タイトルです。", folder + "/");
        EXPECT_EQ(title, "タイトルです。");
        EXPECT_EQ(shown.toStdString(), folder);
        EXPECT_EQ(chosen, confirm ? std::optional(folder) : std::nullopt);  // no trailing "/"
    }
}

}  // namespace
}  // namespace tav::test
