#pragma once

#include <QSlider>
#include <cstdint>
#include <functional>

namespace tav {

// Scroll codes of a trackbar's WM_HSCROLL (low word of the first parameter).
enum TrackbarCode : uint16_t {
    TB_LINEUP_ = 0,
    TB_LINEDOWN_ = 1,
    TB_PAGEUP_ = 2,
    TB_PAGEDOWN_ = 3,
    TB_THUMBPOSITION_ = 4,
    TB_THUMBTRACK_ = 5,
    TB_TOP_ = 6,
    TB_BOTTOM_ = 7,
    TB_ENDTRACK_ = 8,
};

// A horizontal slider that behaves and reports as a trackbar without ticks: every paint is
// announced first (NM_CUSTOMDRAW), the user's moves are reported as scroll codes, and letting
// go of the mouse ends with NM_RELEASEDCAPTURE after the closing scroll codes, in the order a
// trackbar sends them. The program's own position changes report nothing. The keys and the
// wheel move it as a trackbar's do: up and page-up toward the minimum.
class QtTrackbar : public QSlider {
public:
    using ScrollHandler = std::function<void(uint16_t code, uint16_t thumb)>;
    using NotifyHandler = std::function<void(int32_t code)>;

    explicit QtTrackbar(QWidget* parent);
    void SetHandlers(ScrollHandler onScroll, NotifyHandler onNotify);
    // Sets the range; the page size follows it, a fifth of the range as a trackbar's.
    void SetTrackRange(int minimum, int maximum);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void OnAction(int action);
    void Scroll(uint16_t code);

    ScrollHandler onScroll_;
    NotifyHandler onNotify_;
    bool capturing_ = false;  // the left button went down on the bar and is still down
};

}  // namespace tav
