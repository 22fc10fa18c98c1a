#pragma once
// Qt's own texts (file dialogs, "OK", "Cancel", context menus of text boxes)
// in Russian, so that they match the program's. Debian ships them in
// qt6-translations-l10n; without it Qt's English texts stay, quietly.
#include <QString>

class QCoreApplication;
class QTranslator;

namespace ostrel {

// Loads "qtbase_ru" from `folder` (Qt's translations folder when empty) into
// `translator` and installs it; false when there is none.
bool installQtTranslation(QCoreApplication& app, QTranslator& translator, const QString& folder = {});

} // namespace ostrel
