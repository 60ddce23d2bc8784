// The translations: every text of the code has its German and Spanish translation, the .qm
// files load for the desktop's language with Qt's own, and English stays the code's texts.

#include "l10n/language.h"

#include <QCoreApplication>
#include <QXmlStreamReader>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTranslator>

#include <gtest/gtest.h>

namespace {

struct Message {
    QString context, source, translation;
    bool finished = false;
};

QList<Message> readTs(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QXmlStreamReader xml(&file);
    QList<Message> out;
    QString context;
    Message m;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == u"name")
            context = xml.readElementText(QXmlStreamReader::IncludeChildElements);
        else if (xml.name() == u"message")
            m = Message{context, {}, {}, false};
        else if (xml.name() == u"source")
            m.source = xml.readElementText(QXmlStreamReader::IncludeChildElements);
        else if (xml.name() == u"translation") {
            const QString type = xml.attributes().value(QStringLiteral("type")).toString();
            m.translation = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            m.finished = type.isEmpty() && !m.translation.isEmpty();
            out << m;
        }
    }
    return out;
}

void dropTranslators()
{
    for (QTranslator* t : qApp->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(t);
        delete t;
    }
}

QString key(const Message& m)
{
    return m.context + QStringLiteral("|") + m.source;
}

} // namespace

TEST(Translations, EveryTextOfTheCodeIsTranslatedIntoGermanAndSpanish)
{
    // What the code asks for now, read from the sources as lupdate reads them.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString fresh = dir.filePath(QStringLiteral("fresh.ts"));
    const QString src = QStringLiteral(SONAVEIL_SOURCE_DIR);
    QProcess lupdate;
    lupdate.setWorkingDirectory(src);
    QString program = QStringLiteral("/usr/lib/qt6/bin/lupdate");
    if (!QFile::exists(program))
        program = QStringLiteral("lupdate");
    lupdate.start(program, {QStringLiteral("-silent"), QStringLiteral("-locations"), QStringLiteral("none"),
                            QStringLiteral("-I"), src, src + QStringLiteral("/controls"), src + QStringLiteral("/lumidot"),
                            src + QStringLiteral("/player"), src + QStringLiteral("/recorder"),
                            QStringLiteral("-ts"), fresh});
    ASSERT_TRUE(lupdate.waitForFinished(120000));
    const QList<Message> wanted = readTs(fresh);
    ASSERT_GT(wanted.size(), 10);

    for (const char* lang : {"de", "es"}) {
        SCOPED_TRACE(lang);
        QSet<QString> done;
        int unfinished = 0;
        QStringList missing;
        for (const Message& m : readTs(src + QStringLiteral("/translations/sonaveil_%1.ts").arg(QLatin1String(lang)))) {
            if (m.finished)
                done.insert(key(m));
            else
                ++unfinished;
        }
        for (const Message& m : wanted)
            if (!done.contains(key(m)))
                missing << key(m);
        EXPECT_EQ(unfinished, 0);
        EXPECT_TRUE(missing.isEmpty()) << "left out of the translation:\n" << missing.join(u'\n').toStdString();
    }
}

TEST(Translations, LoadForTheDesktopsLanguageWithQtsOwn)
{
    using sonaveil::l10n::installTranslations;
    const QString qm = QStringLiteral(SONAVEIL_QM_DIR);

    EXPECT_EQ(installTranslations(*qApp, qm, QLocale(QLocale::German, QLocale::Germany)), QStringLiteral("de"));
    EXPECT_EQ(QCoreApplication::translate("sonaveil::controls::MasterVolume", "System volume"),
              QString::fromUtf8("Systemlautstärke"));
    // Qt's own dialogs follow: the standard "Cancel" button.
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Abbrechen"));
    dropTranslators();

    EXPECT_EQ(installTranslations(*qApp, qm, QLocale(QLocale::Spanish, QLocale::Spain)), QStringLiteral("es"));
    EXPECT_EQ(QCoreApplication::translate("sonaveil::controls::MasterVolume", "System volume"),
              QStringLiteral("Volumen del sistema"));
    dropTranslators();

    // English, and a language we have no catalogue for, keep the code's own texts.
    EXPECT_EQ(installTranslations(*qApp, qm, QLocale::c()), QString());
    EXPECT_EQ(installTranslations(*qApp, qm, QLocale(QLocale::English, QLocale::UnitedStates)), QString());
    EXPECT_EQ(installTranslations(*qApp, qm, QLocale(QLocale::Finnish)), QString());
    EXPECT_TRUE(qApp->findChildren<QTranslator*>().isEmpty());
    EXPECT_EQ(QCoreApplication::translate("sonaveil::controls::MasterVolume", "System volume"),
              QStringLiteral("System volume"));
}
