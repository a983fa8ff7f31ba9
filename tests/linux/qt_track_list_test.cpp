// The sorted track list under a real list view: one reset per settle, the list's selection
// mirrored in the view, and only the user's clicks, keys and double-clicks reported.
#include <gtest/gtest.h>

#include <QListView>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <random>
#include <vector>

#include "linux/native_text.h"
#include "linux/qt_track_list.h"
#include "qt_test_support.h"

namespace tav::test {
namespace {

class QtTrackListTest : public ::testing::Test {
protected:
    QtTrackListTest() {
        view.resize(400, 300);
        list.AttachView(view);
        view.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
    }
    void AddAll(std::initializer_list<const char*> entries) {
        for (const char* entry : entries) {
            list.Add(entry);
        }
    }
    void ClickRow(int row) {
        const QRect cell = view.visualRect(list.index(row));
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, cell.center());
    }
    QString Shown(int row) const { return list.index(row).data().toString(); }

    QApplication& app = TestApplication();
    Utf8TextRules text;
    QtTrackList list{text};
    QListView view;
    QSignalSpy selections{&list, &QtTrackList::userSelectionChanged};
    QSignalSpy doubleClicks{&list, &QtTrackList::userDoubleClicked};
};

TEST_F(QtTrackListTest, HundredThousandEntriesReachTheViewInOneReset) {
    constexpr int kEntries = 100000;
    std::vector<std::string> names;
    for (int i = 0; i < kEntries; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "/music/%06d.mp3", i);
        names.emplace_back(name);
    }
    std::shuffle(names.begin(), names.end(), std::mt19937(7));
    QSignalSpy resets(&list, &QAbstractItemModel::modelReset);

    for (const std::string& name : names) {
        list.Add(name);
    }
    EXPECT_EQ(list.Count(), kEntries);
    EXPECT_EQ(view.model()->rowCount(), 0);  // adding alone does not touch the view
    ASSERT_TRUE(WaitUntil([&] { return view.model()->rowCount() == kEntries; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(resets.count(), 1);
    EXPECT_EQ(Shown(0), "/music/000000.mp3");
    EXPECT_EQ(Shown(54321), "/music/054321.mp3");
    EXPECT_EQ(Shown(kEntries - 1), "/music/099999.mp3");
}

TEST_F(QtTrackListTest, ProgramSelectionsShowWithoutBeingReported) {
    AddAll({"/b/", "/c/", "/a/"});
    list.Select(2);  // publishes first: the view shows the sorted order at once
    EXPECT_EQ(view.model()->rowCount(), 3);
    EXPECT_EQ(view.currentIndex().row(), 2);
    EXPECT_EQ(Shown(2), "/c/");
    EXPECT_TRUE(view.selectionModel()->isRowSelected(2, {}));

    // An entry added before the selection moves it down, in the list and in the view.
    list.Add("/0/");
    EXPECT_EQ(list.Selection(), 3);
    ASSERT_TRUE(WaitUntil([&] { return view.model()->rowCount() == 4; }));
    EXPECT_TRUE(view.selectionModel()->isRowSelected(3, {}));

    list.Select(-1);
    EXPECT_FALSE(view.selectionModel()->hasSelection());
    EXPECT_EQ(selections.count(), 0);
}

TEST_F(QtTrackListTest, UserClicksAndKeysSelectAndAreReported) {
    AddAll({"/a/", "/b/", "/c/"});
    ASSERT_TRUE(WaitUntil([&] { return view.model()->rowCount() == 3; }));
    ClickRow(1);
    EXPECT_EQ(list.Selection(), 1);
    EXPECT_EQ(list.Caret(), 1);
    EXPECT_EQ(selections.count(), 1);

    QTest::keyClick(view.viewport(), Qt::Key_Down);
    EXPECT_EQ(list.Selection(), 2);
    EXPECT_EQ(selections.count(), 2);

    // As a list box does, clicking the selected entry or a key that cannot move reports again.
    ClickRow(2);
    QTest::keyClick(view.viewport(), Qt::Key_End);
    EXPECT_EQ(list.Selection(), 2);
    EXPECT_EQ(selections.count(), 4);
}

TEST_F(QtTrackListTest, DoubleClickOnAnEntryIsReportedAfterItsSelection) {
    AddAll({"/a/", "/b/"});
    ASSERT_TRUE(WaitUntil([&] { return view.model()->rowCount() == 2; }));
    const QPoint at = view.visualRect(list.index(1)).center();
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(list.Selection(), 1);
    EXPECT_EQ(selections.count(), 1);
    EXPECT_EQ(doubleClicks.count(), 1);

    // Below the last entry there is nothing to play.
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, QPoint(10, 280));
    EXPECT_EQ(doubleClicks.count(), 1);
}

TEST_F(QtTrackListTest, ResetEmptiesListAndView) {
    AddAll({"/a/", "/b/"});
    list.Select(0);
    list.Reset();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Selection(), -1);
    EXPECT_EQ(view.model()->rowCount(), 0);
    EXPECT_EQ(list.Text(0), "");
}

}  // namespace
}  // namespace tav::test
