#pragma once

#include <QString>
#include <QWidget>

#include "player/control_table.h"

namespace tav {

// What a screen reader says for a control: the text of the label beside it (音量, 再生位置,
// 例外, １曲), what a field holds where no label stands, what a sign of a button means (前の
// ファイル for <<). Empty for the labels and the other buttons, which are read as they show,
// so that a text that changes is read anew.
QString AccessibleName(const ControlSpec& row);

// Makes the window a frame to screen readers.
void MakeAccessibleFrame(QWidget& window);

// What a bar says besides its name and value: its time ("0:01:23 / 0:03:00") or percentage.
// Set only on a change, as each change is announced.
void SetSpokenValue(QWidget& control, const QString& value);
// The volume bar's percentage, rounded: "50%".
QString VolumeText(int position, int maximum);

}  // namespace tav
