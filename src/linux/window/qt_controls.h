#pragma once

#include <QFont>
#include <QWidget>
#include <functional>
#include <string>

#include "platform/geometry.h"
#include "player/control_table.h"

namespace tav {

// The one font of every control: a Japanese sans-serif at 12 pixels.
QFont ControlFont();

// Makes the widget of one control-table row: the widget that matches the class and style,
// with its text, the control font, its creation rectangle, and Tab focus where the style has
// a tab stop. The list box is a bare QListView; its model is attached by the caller.
QWidget* MakeControl(const ControlSpec& row, QWidget& parent);

// Puts the controls, found by id, in the reading order: the order of Tab and of the window's
// children, which screen readers follow.
void ArrangeInReadingOrder(const std::function<QWidget*(int id)>& control);

// Places a control. A drop-down list's rectangle gives its closed height only as far as the
// field needs: the rest is the extent of the drop-down.
void PlaceControl(QWidget& widget, const Rect& rect);

// The text of a control (edits, labels, buttons): the bytes the program last wrote, unless
// the user has typed since; empty for lists, combos and trackbars.
std::string ControlWidgetText(const QWidget& widget);
void SetControlWidgetText(QWidget& widget, const std::string& text);

}  // namespace tav
