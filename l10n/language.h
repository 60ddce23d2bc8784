#pragma once

#include <QString>

class QCoreApplication;
class QLocale;

namespace sonaveil::l10n {

// The catalogue both programs share: translations/sonaveil_<language>.qm in the program folder.
inline constexpr const char* kCatalogue = "sonaveil";

// Installs the translations of the first of the locale's languages that the programs are
// translated into, and Qt's own catalogue of that language so that Qt's dialogs speak it too.
// English needs no catalogue: the texts in the code are the English ones. Returns the language
// loaded ("de"), or an empty text when the program stays English.
QString installTranslations(QCoreApplication& app, const QString& folder, const QLocale& locale);
// The same for the desktop's language, with the catalogues in programFolder/translations.
QString installTranslations(QCoreApplication& app, const QString& programFolder);

} // namespace sonaveil::l10n
