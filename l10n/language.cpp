#include "l10n/language.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace sonaveil::l10n {

QString installTranslations(QCoreApplication& app, const QString& folder, const QLocale& locale)
{
    auto own = new QTranslator(&app);
    // QTranslator walks the locale's languages (de_DE, then de) and stops at the first file.
    if (!own->load(locale, QString::fromLatin1(kCatalogue), QStringLiteral("_"), folder)) {
        delete own;
        return {};
    }
    app.installTranslator(own);
    // "…/sonaveil_de.qm" gives "de".
    const QString base = QFileInfo(own->filePath()).completeBaseName();
    const QString language = base.mid(qsizetype(qstrlen(kCatalogue)) + 1).section(u'_', 0, 0);

    // Qt's own texts (the file dialog, the standard buttons) in the same language, and only
    // then: a program half in one language and half in another helps nobody.
    auto qt = new QTranslator(&app);
    const QLocale chosen(language);
    if (qt->load(chosen, QStringLiteral("qtbase"), QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))
        || qt->load(chosen, QStringLiteral("qtbase"), QStringLiteral("_"), folder))
        app.installTranslator(qt);
    else
        delete qt;
    return language;
}

QString installTranslations(QCoreApplication& app, const QString& programFolder)
{
    return installTranslations(app, QDir(programFolder).filePath(QStringLiteral("translations")), QLocale::system());
}

} // namespace sonaveil::l10n
