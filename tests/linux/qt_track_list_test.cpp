// The sorted track list in the real window: the program's changes reach the view in one reset
// per settle and are never reported; every click and navigation key of the user is.
#include <gtest/gtest.h>

#include <QListView>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "fakes/current_dir.h"
#include "fakes/test_player.h"
#include "player/control_table.h"
#include "qt_test_support.h"

namespace tav::test {
namespace {

class QtTrackListTest : public ::testing::Test {
protected:
    void SetUp() override {
        t.window.Open();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&t.window));
    }
    QListView& View() const { return *qobject_cast<QListView*>(t.window.Control(TrackList)); }
    QPoint Row(int row) const { return View().visualRect(t.list.index(row)).center(); }
    bool Shows(int rows) const {
        return QTest::qWaitFor([&] { return View().model()->rowCount() == rows; });
    }

    TempDir dir;
    ScopedCurrentDir inside{dir.Root()};
    QtTestPlayer t;
    QSignalSpy selections{&t.list, &QtTrackList::userSelectionChanged};
    QSignalSpy doubleClicks{&t.list, &QtTrackList::userDoubleClicked};
};

TEST_F(QtTrackListTest, ProgramChangesShowInOneResetAndAreNotReported) {
    QSignalSpy resets(&t.list, &QAbstractItemModel::modelReset);
    for (const char* entry : {"/b/", "/c/", "/a/"}) {
        t.list.Add(entry);
    }
    EXPECT_EQ(View().model()->rowCount(), 0);  // adding alone does not touch the view
    t.list.Select(2);                          // publishes first: the sorted order shows at once
    EXPECT_EQ(resets.count(), 1);
    EXPECT_EQ(View().currentIndex().data().toString(), "/c/");
    EXPECT_TRUE(View().selectionModel()->isRowSelected(2, {}));

    // An entry added before the selection moves it down, in the list and in the view.
    t.list.Add("/0/");
    EXPECT_EQ(t.list.Selection(), 3);
    ASSERT_TRUE(Shows(4));
    EXPECT_TRUE(View().selectionModel()->isRowSelected(3, {}));
    EXPECT_EQ(resets.count(), 2);

    t.list.Select(-1);
    EXPECT_FALSE(View().selectionModel()->hasSelection());
    t.list.Reset();
    EXPECT_EQ(View().model()->rowCount(), 0);
    EXPECT_EQ(selections.count(), 0);
}

// As in a list box, a click on the selected entry and a key that cannot move report again: so
// clicking the playing folder ends its piece and double-clicking it plays it from the start.
TEST_F(QtTrackListTest, EveryClickAndNavigationKeyIsReported) {
    std::vector<std::string> files;
    for (const char* name : {"music/A/1.wav", "music/A/2.wav", "music/B/1.wav"}) {
        files.push_back(dir.AddFile(name));
        t.device.lengths[files.back()] = 60000;
    }
    t.browser.answer = dir.Path() + "music/";
    const auto click = [&](int id) { qobject_cast<QPushButton*>(t.window.Control(id))->click(); };
    click(FolderButton);
    ASSERT_TRUE(Shows(2));
    click(PlayButton);
    click(NextButton);
    const PieceRecord& piece = t.player.playback.piece;
    ASSERT_EQ(piece.fileIndex, 2);
    ASSERT_EQ(t.device.opened.back(), files[1]);
    EXPECT_EQ(selections.count(), 0);

    QTest::mouseClick(View().viewport(), Qt::LeftButton, {}, Row(0));
    EXPECT_EQ(selections.count(), 1);
    EXPECT_EQ(piece.fileIndex, 0);
    EXPECT_EQ(piece.fileCount, 0);
    QTest::mouseDClick(View().viewport(), Qt::LeftButton, {}, Row(0));
    EXPECT_EQ(doubleClicks.count(), 1);
    EXPECT_EQ(piece.fileIndex, 1);
    EXPECT_EQ(t.device.opened, (std::vector{files[0], files[1], files[0]}));

    QTest::keyClick(View().viewport(), Qt::Key_Down);
    EXPECT_EQ(t.list.Selection(), 1);
    QTest::keyClick(View().viewport(), Qt::Key_End);
    QTest::mouseClick(View().viewport(), Qt::LeftButton, {}, Row(1));
    EXPECT_EQ(t.list.Selection(), 1);
    EXPECT_EQ(selections.count(), 4);

    // Below the last entry there is nothing to play.
    QTest::mouseDClick(View().viewport(), Qt::LeftButton, {}, QPoint(10, View().height() - 10));
    EXPECT_EQ(doubleClicks.count(), 1);
}

}  // namespace
}  // namespace tav::test
