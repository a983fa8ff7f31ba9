#pragma once

#include <QString>
#include <string>

namespace tav {

// The one translation context of the program's own texts.
inline constexpr const char* kTranslationContext = "Tavrello";

// What the window shows for a text the core writes where only its own fixed texts appear
// (buttons, labels, combo items, message boxes, the folder dialog's title): the translation
// for the user's language when the text is one of the core's fixed texts and a translation is
// installed, else the text itself. The core's bytes are never changed, only what is shown.
QString FixedText(const std::string& bytes);

}  // namespace tav
