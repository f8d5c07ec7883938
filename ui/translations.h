// Qt's own texts (the text view's context menu, the file dialogs) in German,
// like the rest of the window.
#pragma once

class QCoreApplication;
class QTranslator;

namespace quorvel {

// Loads "qtbase_de.qm" from Qt's translation folder into `translator` and
// installs it; false, leaving Qt's English, when the file is missing.
bool InstallGermanQtTranslations(QTranslator& translator);

}  // namespace quorvel
