// What the desktop takes from the window: the names a screen reader says for the controls,
// and the user's language in Qt's standard dialogs.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <iterator>

#include "fakes/current_dir.h"
#include "fakes/test_player.h"
#include "linux/qt_translations.h"
#include "player/control_table.h"
#include "qt_test_support.h"

// Failures show the text, not its UTF-16 units.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace tav::test {
namespace {

QString SpokenName(QWidget& widget) {
    return QAccessible::queryAccessibleInterface(&widget)->text(QAccessible::Name);
}

TEST(QtAccessibility, EveryControlHasTheNameAScreenReaderSays) {
    const TempDir dir;
    const ScopedCurrentDir inside{dir.Root()};
    QtTestPlayer t;
    t.window.Route({WM_CREATE_, 0, 0});
    // clang-format off
    const char* const named[] = {
        "TrackList", "曲の一覧", "FolderEdit", "フォルダ", "PlayButton", "再生", "StopButton",
        "停止", "RandomPlayButton", "ランダム再生", "ExclusionSuffixLabel", "を含むフォルダ）",
        "ExclusionEdit", "例外", "ExclusionPrefixLabel", "（例外：", "UnitLabel", "１曲 = ",
        "VolumeBar", "音量", "PositionBar", "再生位置", "VolumeLabel", "音量：", "PositionLabel",
        "再生位置：", "PrevButton", "<<", "NextButton", ">>", "FolderButton", "フォルダ選択",
        "TargetLabel", "MP3+WAV", "TargetButton", "演奏対象", "InfoEdit1", "タイトル",
        "InfoEdit2", "アーティスト", "InfoEdit3", "アルバム", "InfoEdit4", "コメント"};
    // On Linux a screen reader names a combo box by its text and the label that names it.
    const char* const labelled[] = {"UnitCombo", "UnitLabel", "ExclusionEdit",
        "ExclusionPrefixLabel", "VolumeBar", "VolumeLabel", "PositionBar", "PositionLabel"};
    // clang-format on
    for (std::size_t i = 0; i < std::size(named); i += 2) {
        auto* widget = t.window.findChild<QWidget*>(named[i]);
        ASSERT_NE(widget, nullptr) << named[i];
        EXPECT_EQ(SpokenName(*widget), named[i + 1]) << named[i];
    }
    for (std::size_t i = 0; i < std::size(labelled); i += 2) {
        auto* widget = t.window.findChild<QWidget*>(labelled[i]);
        ASSERT_NE(widget, nullptr) << labelled[i];
        const auto labels =
            QAccessible::queryAccessibleInterface(widget)->relations(QAccessible::Label);
        ASSERT_EQ(labels.size(), 1) << labelled[i];
        EXPECT_EQ(labels.front().first->object()->objectName(), labelled[i + 1]);
    }
    // A label is read as it shows now.
    t.window.SendCommand(TargetButton, BN_CLICKED_);
    EXPECT_EQ(SpokenName(*t.window.Control(TargetLabel)), "MP3");
}

// The folder dialog's own label and buttons, as Qt draws it where the desktop has no dialog
// of its own.
std::vector<QString> FolderDialogTexts() {
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::Directory);
    const auto* buttons = dialog.findChild<QDialogButtonBox*>("buttonBox");
    return {dialog.findChild<QLabel*>("lookInLabel")->text(),
            buttons->button(QDialogButtonBox::Open)->text(),
            buttons->button(QDialogButtonBox::Cancel)->text()};
}

TEST(QtTranslations, TheFolderDialogSpeaksTheUsersLanguage) {
    TestApplication();
    {
        const QtTranslations japanese(QLocale(QLocale::Japanese, QLocale::Japan));
        ASSERT_TRUE(japanese.Installed());
        EXPECT_EQ(FolderDialogTexts(),
                  (std::vector<QString>{"アドレス:", "選択(&C)", "キャンセル"}));
    }
    EXPECT_EQ(FolderDialogTexts(), (std::vector<QString>{"Look in:", "&Choose", "Cancel"}));
}

}  // namespace
}  // namespace tav::test
