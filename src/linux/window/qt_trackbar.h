#pragma once

#include <QSlider>
#include <cstdint>
#include <functional>

#include "player/messages.h"

namespace tav {

// A horizontal slider that behaves and reports as a trackbar without ticks: every paint is
// announced first (NM_CUSTOMDRAW), the user's moves are reported as scroll codes, and letting
// go of the mouse or of a key ends with NM_RELEASEDCAPTURE after the closing scroll codes, in
// the order a trackbar sends them for the mouse. The program's own position changes report nothing.
// The keys and the wheel move it as a trackbar's do: up and page-up toward the minimum.
class QtTrackbar : public QSlider {
public:
    using ScrollHandler = std::function<void(uint16_t code, uint16_t thumb)>;
    using NotifyHandler = std::function<void(int32_t code)>;

    explicit QtTrackbar(QWidget* parent);
    void SetHandlers(ScrollHandler onScroll, NotifyHandler onNotify);
    // Sets the range; the steps follow it: a twentieth for the arrows, a fifth for a page.
    void SetTrackRange(int minimum, int maximum);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void OnAction(int action);
    void Scroll(uint16_t code);

    ScrollHandler onScroll_;
    NotifyHandler onNotify_;
    bool capturing_ = false;  // the left button went down on the bar and is still down
};

}  // namespace tav
