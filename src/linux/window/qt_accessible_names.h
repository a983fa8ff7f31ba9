#pragma once

#include <QAbstractSlider>
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
// Keeps a bar saying its position as a rounded percentage of its range: "50%".
void SpeakPercentage(QAbstractSlider& bar);

}  // namespace tav
