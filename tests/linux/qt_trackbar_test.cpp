// The trackbar's notices: what each user action reports, in which order, and that the
// program's own changes report nothing.
#include <gtest/gtest.h>

#include <QTest>
#include <string>
#include <vector>

#include "linux/qt_trackbar.h"
#include "player/messages.h"
#include "qt_test_support.h"

namespace tav::test {
namespace {

class QtTrackbarTest : public ::testing::Test {
protected:
    QtTrackbarTest() {
        bar.SetHandlers(
            [this](uint16_t code, uint16_t thumb) {
                events.push_back("scroll " + std::to_string(code) + " " + std::to_string(thumb));
            },
            [this](int32_t code) {
                if (code == NM_CUSTOMDRAW_) {
                    ++paints;
                } else {
                    events.push_back("notify " + std::to_string(code));
                }
            });
        bar.resize(508, 20);
        bar.SetTrackRange(0, 1000);
        bar.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&bar));
        events.clear();
    }

    QApplication& app = TestApplication();
    QtTrackbar bar{nullptr};
    std::vector<std::string> events;
    int paints = 0;
};

TEST_F(QtTrackbarTest, KeysMoveAsOnATrackbarAndReportTheirCodes) {
    struct Case {
        Qt::Key key;
        int from;
        int to;
        const char* event;
    };
    const Case cases[] = {
        {Qt::Key_Left, 500, 499, "scroll 0 0"},   {Qt::Key_Up, 500, 499, "scroll 0 0"},
        {Qt::Key_Right, 500, 501, "scroll 1 0"},  {Qt::Key_Down, 500, 501, "scroll 1 0"},
        {Qt::Key_PageUp, 500, 300, "scroll 2 0"}, {Qt::Key_PageDown, 500, 700, "scroll 3 0"},
        {Qt::Key_Home, 500, 0, "scroll 6 0"},     {Qt::Key_End, 500, 1000, "scroll 7 0"},
    };
    for (const Case& c : cases) {
        bar.setValue(c.from);
        events.clear();
        QTest::keyClick(&bar, c.key);
        EXPECT_EQ(bar.value(), c.to) << c.event;
        EXPECT_EQ(events, std::vector<std::string>{c.event});
    }
}

TEST_F(QtTrackbarTest, DragReportsTrackingThenPositionEndAndRelease) {
    bar.setValue(0);
    events.clear();
    const int middle = bar.height() / 2;
    QTest::mousePress(&bar, Qt::LeftButton, {}, QPoint(4, middle));
    QTest::mouseMove(&bar, QPoint(254, middle));
    const int dragged = bar.sliderPosition();
    ASSERT_GT(dragged, 0);
    QTest::mouseRelease(&bar, Qt::LeftButton, {}, QPoint(254, middle));

    const std::string thumb = std::to_string(dragged);
    ASSERT_GE(events.size(), 4u);
    EXPECT_EQ(events[events.size() - 4], "scroll 5 " + thumb);
    EXPECT_EQ(events[events.size() - 3], "scroll 4 " + thumb);
    EXPECT_EQ(events[events.size() - 2], "scroll 8 0");
    EXPECT_EQ(events.back(), "notify -16");
}

TEST_F(QtTrackbarTest, ClickBesideTheThumbPagesAndEndsWithTheRelease) {
    bar.setValue(0);
    events.clear();
    QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(480, bar.height() / 2));
    EXPECT_EQ(bar.value(), 200);
    EXPECT_EQ(events, (std::vector<std::string>{"scroll 3 0", "scroll 8 0", "notify -16"}));
}

TEST_F(QtTrackbarTest, ProgramChangesReportNothingButPaintsAreAnnounced) {
    bar.setValue(321);
    bar.SetTrackRange(0, 100);
    EXPECT_EQ(bar.value(), 100);  // clamped into the new range
    EXPECT_EQ(bar.pageStep(), 20);
    EXPECT_TRUE(events.empty());

    paints = 0;
    bar.repaint();
    EXPECT_EQ(paints, 1);
}

}  // namespace
}  // namespace tav::test
