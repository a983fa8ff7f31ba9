#include "linux/desktop/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace tav {
namespace {

// The user's first language, as Qt picks translations for it (LANGUAGE, LC_ALL, LC_MESSAGES,
// LANG).
bool SpeaksJapanese(const QLocale& locale) {
    const QStringList languages = locale.uiLanguages();
    return !languages.isEmpty() && QLocale(languages.front()).language() == QLocale::Japanese;
}

}  // namespace

QtTranslations::QtTranslations(const QLocale& locale) {
    // "qt" names the catalogue that pulls in those of every Qt module.
    if (translator_.load(locale, QStringLiteral("qt"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        installed_ = QCoreApplication::installTranslator(&translator_);
    }
    // Built into the program (src/linux/CMakeLists.txt).
    if (!SpeaksJapanese(locale) && own_.load(QStringLiteral(":/i18n/tavrello_en.qm"))) {
        ownInstalled_ = QCoreApplication::installTranslator(&own_);
    }
}

QtTranslations::~QtTranslations() {
    if (ownInstalled_) {
        QCoreApplication::removeTranslator(&own_);
    }
    if (installed_) {
        QCoreApplication::removeTranslator(&translator_);
    }
}

}  // namespace tav
