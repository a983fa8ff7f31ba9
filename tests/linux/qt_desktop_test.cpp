// What the desktop takes from the window: the names a screen reader says for the controls,
// and the user's language in Qt's standard dialogs.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <map>

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

// The object name of the label that names the widget, as the screen reader learns it.
QString LabelledBy(QWidget& widget) {
    const auto labels =
        QAccessible::queryAccessibleInterface(&widget)->relations(QAccessible::Label);
    return labels.size() == 1 ? labels.front().first->object()->objectName() : QString();
}

TEST(QtAccessibility, EveryControlHasTheNameAScreenReaderSays) {
    TempDir dir;
    ScopedCurrentDir inside{dir.Root()};
    QtTestPlayer t;
    t.window.Route({WM_CREATE_, 0, 0});
    const std::map<std::string, QString> expected{
        {"TrackList", "曲の一覧"},
        {"FolderEdit", "フォルダ"},
        {"PlayButton", "再生"},
        {"StopButton", "停止"},
        {"RandomPlayButton", "ランダム再生"},
        {"ExclusionSuffixLabel", "を含むフォルダ）"},
        {"ExclusionEdit", "例外"},
        {"ExclusionPrefixLabel", "（例外："},
        {"UnitLabel", "１曲 = "},
        {"VolumeBar", "音量"},
        {"PositionBar", "再生位置"},
        {"VolumeLabel", "音量："},
        {"PositionLabel", "再生位置："},
        {"PrevButton", "<<"},
        {"NextButton", ">>"},
        {"FolderButton", "フォルダ選択"},
        {"TargetLabel", "MP3+WAV"},
        {"TargetButton", "演奏対象"},
        {"InfoEdit1", "タイトル"},
        {"InfoEdit2", "アーティスト"},
        {"InfoEdit3", "アルバム"},
        {"InfoEdit4", "コメント"},
    };
    int named = 0;
    for (QWidget* widget : t.window.findChildren<QWidget*>()) {
        const auto found = expected.find(widget->objectName().toStdString());
        if (found != expected.end()) {
            EXPECT_EQ(SpokenName(*widget), found->second) << found->first;
            ++named;
        }
    }
    EXPECT_EQ(named, 22);
    // On Linux a screen reader names a combo box by its text and the label that names it.
    const std::map<std::string, QString> labelled{{"UnitCombo", "UnitLabel"},
                                                  {"ExclusionEdit", "ExclusionPrefixLabel"},
                                                  {"VolumeBar", "VolumeLabel"},
                                                  {"PositionBar", "PositionLabel"}};
    for (const auto& [control, label] : labelled) {
        auto* widget = t.window.findChild<QWidget*>(QString::fromStdString(control));
        ASSERT_NE(widget, nullptr) << control;
        EXPECT_EQ(LabelledBy(*widget), label) << control;
    }
    // A label is read as it shows now.
    t.window.SendCommand(TargetButton, BN_CLICKED_);
    EXPECT_EQ(SpokenName(*t.window.Control(TargetLabel)), "MP3");
}

// The folder dialog's own labels and buttons, as Qt draws it where the desktop has no dialog
// of its own.
struct DialogTexts {
    QString lookIn;
    QString choose;
    QString cancel;
};

DialogTexts FolderDialogTexts() {
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::Directory);
    DialogTexts texts;
    texts.lookIn = dialog.findChild<QLabel*>("lookInLabel")->text();
    const auto* buttons = dialog.findChild<QDialogButtonBox*>("buttonBox");
    texts.choose = buttons->button(QDialogButtonBox::Open)->text();
    texts.cancel = buttons->button(QDialogButtonBox::Cancel)->text();
    return texts;
}

TEST(QtTranslations, TheFolderDialogSpeaksTheUsersLanguage) {
    TestApplication();
    {
        const QtTranslations japanese(QLocale(QLocale::Japanese, QLocale::Japan));
        ASSERT_TRUE(japanese.Installed());
        const DialogTexts texts = FolderDialogTexts();
        EXPECT_EQ(texts.lookIn, "アドレス:");
        EXPECT_EQ(texts.choose, "選択(&C)");
        EXPECT_EQ(texts.cancel, "キャンセル");
    }
    const DialogTexts english = FolderDialogTexts();
    EXPECT_EQ(english.lookIn, "Look in:");
    EXPECT_EQ(english.choose, "&Choose");
    EXPECT_EQ(english.cancel, "Cancel");
}

}  // namespace
}  // namespace tav::test
