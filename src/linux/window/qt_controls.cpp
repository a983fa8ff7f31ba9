#include "linux/window/qt_controls.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <algorithm>

#include "linux/window/qt_fixed_texts.h"
#include "linux/window/qt_text.h"
#include "linux/window/qt_trackbar.h"

namespace tav {
namespace {

constexpr int kFontPixels = 12;
constexpr int kComboFieldHeight = 20;
constexpr int kInfoMargin = 2;
constexpr int kMinimumStretch = 50;

bool Has(uint32_t styleBits, uint32_t flag) {
    return (styleBits & flag) == flag;
}

// A push button that Return and keypad Enter press as Space does, as in a dialog.
class QtButton : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            click();
            event->accept();
            return;
        }
        QPushButton::keyPressEvent(event);
    }
};

QWidget* MakeListBox(QWidget& parent) {
    auto* view = new QListView(&parent);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setTextElideMode(Qt::ElideNone);  // a list box clips long entries
    return view;
}

QWidget* MakeEdit(const ControlSpec& row, QWidget& parent) {
    const bool sunken = Has(row.exStyle, style::ExClientEdge);
    if (Has(row.style, style::EditMultiline)) {
        auto* edit = new QPlainTextEdit(&parent);
        edit->setReadOnly(Has(row.style, style::EditReadOnly));
        edit->setTabChangesFocus(true);
        edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        edit->document()->setDocumentMargin(kInfoMargin);
        edit->setFrameStyle(sunken ? QFrame::StyledPanel | QFrame::Sunken : QFrame::NoFrame);
        if (edit->isReadOnly()) {
            // A read-only edit shows the face colour behind its text.
            QPalette palette = edit->palette();
            palette.setColor(QPalette::Base, palette.color(QPalette::Window));
            edit->setPalette(palette);
        }
        return edit;
    }
    auto* edit = new QLineEdit(&parent);
    edit->setFrame(sunken);
    edit->setAlignment(Has(row.style, style::EditCenter) ? Qt::AlignCenter
                                                         : Qt::AlignLeft | Qt::AlignVCenter);
    return edit;
}

QWidget* MakeStatic(const ControlSpec& row, QWidget& parent) {
    auto* label = new QLabel(&parent);
    label->setTextFormat(Qt::PlainText);
    // Centred vertically: the line box of a CJK face is taller than a 12-pixel label, and
    // centring keeps the glyphs themselves inside it.
    Qt::Alignment horizontal = Qt::AlignLeft;
    if (Has(row.style, style::StaticRight)) {
        horizontal = Qt::AlignRight;
    } else if (Has(row.style, style::StaticCenter)) {
        horizontal = Qt::AlignHCenter;
    }
    label->setAlignment(horizontal | Qt::AlignVCenter);
    if (Has(row.exStyle, style::ExClientEdge)) {
        label->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    }
    return label;
}

// A label whose text is wider than the label shows it condensed to fit. The Windows face
// sets brackets and colons in half width, so the texts of the table fit their labels there;
// a CJK face here sets them in full width.
void FitLabelText(QLabel& label) {
    QFont font = ControlFont();
    const int advance = QFontMetrics(font).horizontalAdvance(label.text());
    const int room = label.contentsRect().width();
    if (advance > room && room > 0) {
        font.setStretch(std::max(room * 100 / advance, kMinimumStretch));
    }
    label.setFont(font);
}

// The string a text control shows now; empty for lists, combos and trackbars.
QString ShownText(const QWidget& widget) {
    if (const auto* line = qobject_cast<const QLineEdit*>(&widget)) {
        return line->text();
    }
    if (const auto* lines = qobject_cast<const QPlainTextEdit*>(&widget)) {
        return lines->toPlainText();
    }
    if (const auto* label = qobject_cast<const QLabel*>(&widget)) {
        return label->text();
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(&widget)) {
        return button->text();
    }
    return {};
}

QWidget* MakeWidget(const ControlSpec& row, QWidget& parent) {
    switch (row.kind) {
    case ControlClass::ListBox:
        return MakeListBox(parent);
    case ControlClass::Edit:
        return MakeEdit(row, parent);
    case ControlClass::Button: {
        auto* button = new QtButton(&parent);
        button->setAutoDefault(false);
        return button;
    }
    case ControlClass::ComboBox:
        return new QComboBox(&parent);
    case ControlClass::Static:
        return MakeStatic(row, parent);
    case ControlClass::Trackbar:
        return new QtTrackbar(&parent);
    }
    return nullptr;
}

}  // namespace

QFont ControlFont() {
    QFont font;
    font.setFamilies(
        {"Noto Sans CJK JP", "Noto Sans JP", "IPAPGothic", "VL PGothic", "Droid Sans Fallback"});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(kFontPixels);
    return font;
}

QWidget* MakeControl(const ControlSpec& row, QWidget& parent) {
    QWidget* widget = MakeWidget(row, parent);
    widget->setObjectName(row.role);
    widget->setFont(ControlFont());
    widget->setFocusPolicy(Has(row.style, style::TabStop) ? Qt::StrongFocus : Qt::NoFocus);
    SetControlWidgetText(*widget, row.text);
    PlaceControl(*widget, row.rect);
    widget->show();
    return widget;
}

void ArrangeInReadingOrder(const std::function<QWidget*(int id)>& control) {
    QWidget* previous = nullptr;
    for (const int id : ReadingOrder()) {
        QWidget* widget = control(id);
        widget->raise();  // last in its parent's children: screen readers read in that order
        if (widget->focusPolicy() == Qt::NoFocus) {
            continue;  // a label: the Tab chain ignores it
        }
        if (previous != nullptr) {
            QWidget::setTabOrder(previous, widget);
        }
        previous = widget;
    }
}

void PlaceControl(QWidget& widget, const Rect& rect) {
    const bool dropDown = qobject_cast<QComboBox*>(&widget) != nullptr;
    const int height = dropDown ? std::min(rect.height, kComboFieldHeight) : rect.height;
    widget.setGeometry(rect.x, rect.y, rect.width, height);
    if (auto* label = qobject_cast<QLabel*>(&widget)) {
        FitLabelText(*label);
    }
}

std::string ControlWidgetText(const QWidget& widget) {
    return KeptBytes(widget, ShownText(widget));
}

// Edits show whatever bytes they get; labels and buttons only the program's fixed texts, in the
// user's language.
void SetControlWidgetText(QWidget& widget, const std::string& text) {
    const QString value = DisplayText(text);
    if (auto* line = qobject_cast<QLineEdit*>(&widget)) {
        line->setText(value);
    } else if (auto* lines = qobject_cast<QPlainTextEdit*>(&widget)) {
        lines->setPlainText(value);
    } else if (auto* label = qobject_cast<QLabel*>(&widget)) {
        label->setText(FixedText(text));
        FitLabelText(*label);
    } else if (auto* button = qobject_cast<QAbstractButton*>(&widget)) {
        button->setText(FixedText(text));
    }
    KeepBytes(widget, text, ShownText(widget));
}

}  // namespace tav
