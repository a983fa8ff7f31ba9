#pragma once

#include <QString>

#include "player/control_table.h"

namespace tav {

// What a screen reader says for a control: the text of the label beside it (音量, 再生位置,
// 例外, １曲), what a field holds where no label stands, a button's own text. Empty for the
// labels, which are read as they show, so that a label whose text changes is read anew.
QString AccessibleName(const ControlSpec& row);

}  // namespace tav
