// Qt's own texts (standard buttons, dialogs, context menus, key names) in
// German, as every text of the programs is German whatever the locale.
#pragma once

class QCoreApplication;

namespace ZkHelp {

// Installs Qt's German catalogues from Qt's translations folder into app.
// Without them (Debian: qt6-translations-l10n) Qt's texts stay English.
void installQtTranslations(QCoreApplication &app);

} // namespace ZkHelp
