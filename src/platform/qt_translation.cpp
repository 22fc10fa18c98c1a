#include "platform/qt_translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace ostrel {

bool installQtTranslation(QCoreApplication& app, QTranslator& translator, const QString& folder)
{
    const QString dir = folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : folder;
    if (!translator.load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"),
                         QStringLiteral("_"), dir))
        return false;
    return app.installTranslator(&translator);
}

} // namespace ostrel
