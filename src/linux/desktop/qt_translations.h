#pragma once

#include <QLocale>
#include <QTranslator>

namespace tav {

// Qt's own translations for a locale, installed in the application for as long as this
// object lives: the labels and buttons of the standard dialogs (the folder dialog's "Look
// in", "Choose", "Cancel") then speak the user's language. Nothing is installed for a locale
// Qt has no translations for.
class QtTranslations {
public:
    explicit QtTranslations(const QLocale& locale);
    ~QtTranslations();
    QtTranslations(const QtTranslations&) = delete;
    QtTranslations& operator=(const QtTranslations&) = delete;

    bool Installed() const { return installed_; }

private:
    QTranslator translator_;
    bool installed_ = false;
};

}  // namespace tav
