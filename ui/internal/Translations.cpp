#include "ui/internal/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace ui_internal {

void InstallQtTranslations() {
    static QTranslator* pTranslator = nullptr;
    if (pTranslator || !QCoreApplication::instance())
        return;
    pTranslator = new QTranslator(QCoreApplication::instance());
    if (pTranslator->load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(pTranslator);
}

} // namespace ui_internal
