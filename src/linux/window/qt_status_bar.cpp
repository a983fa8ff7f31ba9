#include "linux/window/qt_status_bar.h"

#include <algorithm>

#include "linux/window/qt_text.h"

namespace tav {
namespace {

constexpr int kPartGap = 2;  // between two parts, and above them
constexpr int kTextIndent = 2;

}  // namespace

QtStatusBar::QtStatusBar(QWidget* parent) : QWidget(parent) {
    for (QLabel*& label : labels_) {
        label = new QLabel(this);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setIndent(kTextIndent);
        label->setTextFormat(Qt::PlainText);
    }
    grip_ = new QSizeGrip(this);
}

void QtStatusBar::SetParts(const std::array<int, kPartCount>& rightEdges) {
    edges_ = rightEdges;
    PlaceParts();
}

void QtStatusBar::SetText(int part, const std::string& text) {
    if (part < 0 || part >= kPartCount) {
        return;
    }
    const auto index = static_cast<std::size_t>(part);
    texts_[index] = text;
    const bool centred = !text.empty() && text.front() == '\t';
    QLabel& label = *labels_[index];
    label.setAlignment((centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter);
    label.setText(DisplayText(centred ? std::string_view(text).substr(1) : text));
}

std::string QtStatusBar::Text(int part) const {
    if (part < 0 || part >= kPartCount) {
        return {};
    }
    return texts_[static_cast<std::size_t>(part)];
}

void QtStatusBar::Dock(int clientWidth, int clientHeight) {
    setGeometry(0, clientHeight - kHeight, std::max(clientWidth, 0), kHeight);
}

void QtStatusBar::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    PlaceParts();
}

// Each part runs from just right of the previous part to its own right edge; edges left of
// the previous part or beyond the bar leave a part narrower or empty.
void QtStatusBar::PlaceParts() {
    int left = 0;
    for (std::size_t i = 0; i < labels_.size(); ++i) {
        const int right = std::clamp(edges_[i], left, std::max(width(), left));
        labels_[i]->setGeometry(left, kPartGap, right - left, height() - kPartGap);
        left = std::min(right + kPartGap, std::max(width(), 0));
    }
    const QSize grip = grip_->sizeHint();
    grip_->setGeometry(width() - grip.width(), height() - grip.height(), grip.width(),
                       grip.height());
}

}  // namespace tav
