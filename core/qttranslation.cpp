#include "qttranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace ZkHelp {

void installQtTranslations(QCoreApplication &app)
{
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    // qt_de only includes the modules' catalogues; an installation may ship
    // qtbase_de alone.
    for (const char *catalogue : {"qt", "qtbase"}) {
        auto *translator = new QTranslator(&app);
        if (translator->load(QLocale(QLocale::German), QString::fromLatin1(catalogue),
                             QStringLiteral("_"), folder) &&
            QCoreApplication::installTranslator(translator))
            return;
        delete translator;
    }
}

} // namespace ZkHelp
