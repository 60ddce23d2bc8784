// Every window of the player as a screen reader and a German or Spanish user meet it: every
// control that takes the focus has a role and a name, every slider a value, no access key is
// taken twice, and every text shown is translated.

#include "accessibilitycheck.h"
#include "l10n/language.h"
#include "lumidot/lcd.h"
#include "player/app/mainwindow.h"
#include "player/app/alarmwindow.h"
#include "player/app/colourswindow.h"
#include "player/app/equaliserwindow.h"
#include "player/app/optionswindow.h"
#include "player/app/pitchmatchwindow.h"
#include "player/app/playercolours.h"
#include "playerfixture.h"

#include <QApplication>
#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QTranslator>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

using namespace sonaveil;
using namespace sonaveil::player;

namespace {

std::vector<QWidget*> windowsOf(Player& p)
{
    p.colours().loadEditor();
    std::vector<QWidget*> out{static_cast<QWidget*>(p.mainWindow()), static_cast<QWidget*>(p.optionsWindow()),
                              static_cast<QWidget*>(p.alarmWindow()), static_cast<QWidget*>(p.equaliserWindow()),
                              static_cast<QWidget*>(p.pitchMatchWindow()), static_cast<QWidget*>(p.colours().editor())};
    out.erase(std::remove(out.begin(), out.end(), nullptr), out.end());
    return out;
}


// The texts of every window; pictures of them go to the picture folder as <language>-<window>.
QSet<QString> textsOf(Player& p, const QString& language, QStringList* cutOff = nullptr)
{
    QSet<QString> texts;
    for (QWidget* w : windowsOf(p)) {
        w->show();
        QApplication::processEvents();
        for (const QString& t : testing_support::shownTexts(w, {QStringLiteral("sonaveil::lumidot::LCD")}))
            texts.insert(QString(t).remove(u'&').trimmed());
        if (cutOff)
            *cutOff << testing_support::cutOffCaptions(w);
        w->grab().save(QStringLiteral("%1/%2-%3.png").arg(pictureFolder(), language, w->objectName()));
        w->hide();
    }
    return texts;
}

void dropTranslators()
{
    for (QTranslator* t : qApp->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(t);
        delete t;
    }
}

} // namespace

TEST(PlayerAccessibility, EveryControlOfEveryWindowHasARoleANameAndItsValue)
{
    PlayerFixture f;
    Player& p = f.start();
    for (QWidget* w : windowsOf(p)) {
        SCOPED_TRACE(w->objectName().toStdString());
        const QStringList problems = testing_support::accessibilityProblems(w);
        EXPECT_TRUE(problems.isEmpty()) << problems.join(u'\n').toStdString();
    }
}

TEST(PlayerTranslation, EveryTextShownIsGermanInTheGermanBuildWithItsOwnAccessKeys)
{
    QSet<QString> english;
    {
        PlayerFixture f;
        english = textsOf(f.start(), QStringLiteral("en"));
    }
    const QString qm = QString::fromLocal8Bit(qgetenv("SONAVEIL_DIST")) + QStringLiteral("/translations");
    ASSERT_EQ(l10n::installTranslations(*qApp, qm, QLocale(QLocale::German, QLocale::Germany)), QStringLiteral("de"));
    QSet<QString> german;
    QStringList clashes, cutOff;
    {
        PlayerFixture f;
        Player& p = f.start();
        german = textsOf(p, QStringLiteral("de"), &cutOff);
        for (QWidget* w : windowsOf(p)) {
            w->show();
            clashes << testing_support::duplicateAccessKeys(w);
            w->hide();
        }
    }
    dropTranslators();

    const QSet<QString> kept = testing_support::keptAsTheyAre(QStringLiteral(SONAVEIL_SOURCE_DIR "/translations/sonaveil_de.ts"));
    // Names are shown as they are: the equaliser preset chosen (a file's name) and the test's sound cards.
    const QSet<QString> names{QStringLiteral("Sonaveil"), QStringLiteral("Flat"), QStringLiteral("Sonaveil_Test"),
                              QStringLiteral("Second_Sink")};
    static const QRegularExpression words(QStringLiteral("[A-Za-z]{2}"));
    QStringList untranslated;
    for (const QString& t : german) {
        if (english.contains(t) && t.contains(words) && !testing_support::isKept(kept, t) && !names.contains(t))
            untranslated << t;
    }
    untranslated.sort();
    EXPECT_TRUE(untranslated.isEmpty()) << "shown in English in the German build:\n" << untranslated.join(u'\n').toStdString();
    EXPECT_TRUE(clashes.isEmpty()) << clashes.join(u'\n').toStdString();
    EXPECT_TRUE(cutOff.isEmpty()) << cutOff.join(u'\n').toStdString();
}

TEST(PlayerTranslation, SpanishWindowsShowEveryCaptionWhole)
{
    const QString qm = QString::fromLocal8Bit(qgetenv("SONAVEIL_DIST")) + QStringLiteral("/translations");
    ASSERT_EQ(l10n::installTranslations(*qApp, qm, QLocale(QLocale::Spanish, QLocale::Spain)), QStringLiteral("es"));
    QStringList clashes, cutOff;
    {
        PlayerFixture f;
        Player& p = f.start();
        textsOf(p, QStringLiteral("es"), &cutOff);
        for (QWidget* w : windowsOf(p)) {
            w->show();
            clashes << testing_support::duplicateAccessKeys(w);
            w->hide();
        }
        // What files store stays English: the status display and the mix written at closing.
        EXPECT_EQ(p.mainWindow()->display()->GetDisplay(2), QStringLiteral("Alarm:Off"));
        EXPECT_EQ(p.mainWindow()->display()->GetDisplay(4), QStringLiteral("Current:None"));
    }
    dropTranslators();
    EXPECT_TRUE(clashes.isEmpty()) << clashes.join(u'\n').toStdString();
    EXPECT_TRUE(cutOff.isEmpty()) << cutOff.join(u'\n').toStdString();
}
