#pragma once
// Qt's own dialogs and buttons (printing, the standard buttons) speak the program's
// language, Japanese, whatever the locale is.
class QCoreApplication;

// Installs Qt's Japanese translations when they are present; without them (the package
// is missing) Qt's dialogs stay in English and nothing else changes. Returns whether they
// were installed.
bool InstallQtJapanese(QCoreApplication& app);
