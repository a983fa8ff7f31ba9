// The folder browser on a real directory dialog, answered from inside its own loop.
#include <gtest/gtest.h>

#include <QFileDialog>
#include <QTimer>
#include <functional>

#include "fakes/test_player.h"
#include "linux/qt_folder_browser.h"
#include "qt_test_support.h"

namespace tav::test {
namespace {

struct SeenDialog {
    QString title;
    QString directory;
};

class QtFolderBrowserTest : public ::testing::Test {
protected:
    // Browses; the dialog, once open, is recorded and then handled by the answer.
    std::optional<std::string> Browse(const std::optional<std::string>& initial,
                                      const std::function<void(QDialog&)>& answer) {
        QTimer::singleShot(0, [&] {
            ASSERT_TRUE(WaitUntil([] { return QApplication::activeModalWidget() != nullptr; }));
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            seen = {dialog->windowTitle(), dialog->directory().absolutePath()};
            answer(*dialog);
        });
        return browser.Browse("タイトルです。", initial);
    }

    QApplication& app = TestApplication();
    QWidget owner;
    QtFolderBrowser browser{owner};
    TempDir dir;
    SeenDialog seen;
};

TEST_F(QtFolderBrowserTest, ConfirmingReturnsTheFolderWithoutTrailingSeparator) {
    const std::string folder = dir.AddFolder("曲/アルバム");
    const auto chosen = Browse(folder + "/", [](QDialog& dialog) { dialog.accept(); });
    EXPECT_EQ(seen.title, "タイトルです。");
    EXPECT_EQ(seen.directory.toStdString(), folder);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(*chosen, folder);
}

TEST_F(QtFolderBrowserTest, CancellingReturnsNothing) {
    const auto chosen = Browse(std::nullopt, [](QDialog& dialog) { dialog.reject(); });
    EXPECT_EQ(seen.title, "タイトルです。");
    EXPECT_FALSE(chosen.has_value());
}

}  // namespace
}  // namespace tav::test
