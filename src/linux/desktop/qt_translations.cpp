#include "linux/desktop/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace tav {

QtTranslations::QtTranslations(const QLocale& locale) {
    // "qt" names the catalogue that pulls in those of every Qt module.
    if (translator_.load(locale, QStringLiteral("qt"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        installed_ = QCoreApplication::installTranslator(&translator_);
    }
}

QtTranslations::~QtTranslations() {
    if (installed_) {
        QCoreApplication::removeTranslator(&translator_);
    }
}

}  // namespace tav
