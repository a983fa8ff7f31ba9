#include "linux/window/qt_trackbar.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>
#include <utility>

#include "player/messages.h"

namespace tav {
namespace {

constexpr int kDefaultMaximum = 100;

// The trackbar's keys: left and up step toward the minimum, right and down toward the
// maximum; page-up pages toward the minimum.
QAbstractSlider::SliderAction KeyAction(int key) {
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Up:
        return QAbstractSlider::SliderSingleStepSub;
    case Qt::Key_Right:
    case Qt::Key_Down:
        return QAbstractSlider::SliderSingleStepAdd;
    case Qt::Key_PageUp:
        return QAbstractSlider::SliderPageStepSub;
    case Qt::Key_PageDown:
        return QAbstractSlider::SliderPageStepAdd;
    default:
        return QAbstractSlider::SliderNoAction;
    }
}

bool MovesTheBar(int key) {
    return KeyAction(key) != QAbstractSlider::SliderNoAction || key == Qt::Key_Home ||
           key == Qt::Key_End;
}

}  // namespace

QtTrackbar::QtTrackbar(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
    setTickPosition(QSlider::NoTicks);
    // Wheel up moves toward the minimum, as on a trackbar; the keys are mapped explicitly.
    setInvertedControls(true);
    SetTrackRange(0, kDefaultMaximum);
    connect(this, &QAbstractSlider::actionTriggered, this, &QtTrackbar::OnAction);
}

void QtTrackbar::SetHandlers(ScrollHandler onScroll, NotifyHandler onNotify) {
    onScroll_ = std::move(onScroll);
    onNotify_ = std::move(onNotify);
}

void QtTrackbar::SetTrackRange(int minimum, int maximum) {
    setRange(minimum, maximum);
    const int line = std::max((maximum - minimum) / 20, 1);
    const int page = std::max((maximum - minimum) / 5, 1);
    // Only on a change: new steps repaint, and every paint reaches the core.
    if (singleStep() != line) {
        setSingleStep(line);
    }
    if (pageStep() != page) {
        setPageStep(page);
    }
}

void QtTrackbar::paintEvent(QPaintEvent* event) {
    if (onNotify_) {
        onNotify_(NM_CUSTOMDRAW_);
    }
    QSlider::paintEvent(event);
}

void QtTrackbar::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        capturing_ = true;
    }
    QSlider::mousePressEvent(event);
}

void QtTrackbar::mouseReleaseEvent(QMouseEvent* event) {
    const bool dragging = isSliderDown();
    QSlider::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton || !capturing_) {
        return;
    }
    capturing_ = false;
    if (dragging) {
        Scroll(TB_THUMBPOSITION_);
    }
    Scroll(TB_ENDTRACK_);
    if (onNotify_) {
        onNotify_(NM_RELEASEDCAPTURE_);
    }
}

void QtTrackbar::keyPressEvent(QKeyEvent* event) {
    const SliderAction action = KeyAction(event->key());
    if (action == SliderNoAction) {
        QSlider::keyPressEvent(event);
        return;
    }
    triggerAction(action);
    event->accept();
}

// Letting go of a key ends the move as letting go of the mouse does; a held key's repeats
// end nothing.
void QtTrackbar::keyReleaseEvent(QKeyEvent* event) {
    if (!MovesTheBar(event->key()) || event->isAutoRepeat()) {
        QSlider::keyReleaseEvent(event);
        return;
    }
    Scroll(TB_ENDTRACK_);
    if (onNotify_) {
        onNotify_(NM_RELEASEDCAPTURE_);
    }
    event->accept();
}

void QtTrackbar::OnAction(int action) {
    switch (action) {
    case SliderSingleStepAdd:
        Scroll(TB_LINEDOWN_);
        break;
    case SliderSingleStepSub:
        Scroll(TB_LINEUP_);
        break;
    case SliderPageStepAdd:
        Scroll(TB_PAGEDOWN_);
        break;
    case SliderPageStepSub:
        Scroll(TB_PAGEUP_);
        break;
    case SliderToMinimum:
        Scroll(TB_TOP_);
        break;
    case SliderToMaximum:
        Scroll(TB_BOTTOM_);
        break;
    case SliderMove:
        Scroll(TB_THUMBTRACK_);
        break;
    default:
        break;
    }
}

// The thumb position rides along only with the thumb codes, as a trackbar sends it.
void QtTrackbar::Scroll(uint16_t code) {
    if (!onScroll_) {
        return;
    }
    const bool thumb = code == TB_THUMBPOSITION_ || code == TB_THUMBTRACK_;
    onScroll_(code, thumb ? static_cast<uint16_t>(sliderPosition()) : 0);
}

}  // namespace tav
