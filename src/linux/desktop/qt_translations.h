#pragma once

#include <QLocale>
#include <QTranslator>

namespace tav {

// The translations for a locale, installed in the application for as long as this object
// lives. Qt's own: the labels and buttons of the standard dialogs (the folder dialog's "Look
// in", "Choose", "Cancel") then speak the user's language; nothing is installed for a locale
// Qt has no translations for. The program's own: its texts are Japanese, kept as they are in a
// Japanese locale and shown in English in every other one, the C locale included.
class QtTranslations {
public:
    explicit QtTranslations(const QLocale& locale);
    ~QtTranslations();
    QtTranslations(const QtTranslations&) = delete;
    QtTranslations& operator=(const QtTranslations&) = delete;

    bool Installed() const { return installed_; }

private:
    QTranslator translator_;
    QTranslator own_;
    bool installed_ = false;
    bool ownInstalled_ = false;
};

}  // namespace tav
