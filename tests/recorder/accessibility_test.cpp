// The recorder as a screen reader and a German user meet it: every control that takes the focus
// has a role and a name, the stacked stop buttons are one Tab stop, the level meter reads as a
// bar with a value, and every text shown is translated with its own access key.

#include "recorderfixture.h"

#include "accessibilitycheck.h"
#include "controls/multibuttonwidget.h"
#include "controls/scombobox.h"
#include "l10n/language.h"
#include "recorder/app/frmdrive.h"
#include "recorder/app/levelmeter.h"

#include <QAccessible>
#include <QApplication>
#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QTranslator>
#include <QXmlStreamReader>

using namespace sonaveil;
using controls::Multibutton;

namespace {

QSet<QString> textsOf(QWidget* w)
{
    QSet<QString> texts;
    for (const QString& t : testing_support::shownTexts(w, {QStringLiteral("sonaveil::lumidot::LCD")}))
        texts.insert(QString(t).remove(u'&').trimmed());
    return texts;
}


} // namespace

TEST_F(RecorderTest, EveryControlHasARoleANameAndItsValueAndTheStopButtonsAreOneTabStop)
{
    QStringList problems = testing_support::accessibilityProblems(window.get());
    window->on_picturebutton1_Click();
    ASSERT_NE(window->driveBrowser(), nullptr);
    problems << testing_support::accessibilityProblems(window->driveBrowser());
    EXPECT_TRUE(problems.isEmpty()) << problems.join(u'\n').toStdString();

    auto* stop = child<Multibutton>("cmdstop");
    auto* stopPlaying = child<Multibutton>("cmdstopplaying");
    ASSERT_TRUE(stop && stopPlaying);
    EXPECT_NE(bool(stop->focusPolicy() & Qt::TabFocus), bool(stopPlaying->focusPolicy() & Qt::TabFocus));
    // The symbol captions are no names: the buttons say what they do.
    EXPECT_EQ(QAccessible::queryAccessibleInterface(child<Multibutton>("cmdrecord"))->text(QAccessible::Name),
              QStringLiteral("Record"));

    auto* meter = child<recorder::LevelMeter>("dxVU1");
    ASSERT_NE(meter, nullptr);
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(meter);
    EXPECT_EQ(a->role(), QAccessible::ProgressBar);
    EXPECT_EQ(a->text(QAccessible::Name), QStringLiteral("Recording level"));
    ASSERT_NE(a->valueInterface(), nullptr);
    EXPECT_EQ(a->valueInterface()->maximumValue().toInt(), 100);
}

TEST_F(RecorderTest, EveryTextShownIsGermanInTheGermanBuild)
{
    const QSet<QString> english = textsOf(window.get());
    closeWindow();
    const QString qm = QString::fromLocal8Bit(qgetenv("SONAVEIL_DIST")) + QStringLiteral("/translations");
    ASSERT_EQ(l10n::installTranslations(*qApp, qm, QLocale(QLocale::German, QLocale::Germany)), QStringLiteral("de"));
    recorder::FRMMAIN& german = open();
    QApplication::processEvents();
    const QSet<QString> shown = textsOf(&german);
    const QStringList clashes = testing_support::duplicateAccessKeys(&german);
    const QStringList cutOff = testing_support::cutOffCaptions(&german);
    picture(&german, QStringLiteral("frmmain-de"));
    // The displays keep their own texts in every language, and the settings file its own words.
    EXPECT_EQ(line(1, 2), " Status: Stopped");
    EXPECT_EQ(german.findChild<controls::SComboBox*>("cmBtime2record")->text(), QStringLiteral("Unbegrenzt"));
    EXPECT_EQ(german.findChild<controls::SComboBox*>("combo1")->text(), QStringLiteral("Nicht warnen"));
    closeWindow();
    QFile recset(file(QStringLiteral("recset.inl")));
    ASSERT_TRUE(recset.open(QIODevice::ReadOnly));
    EXPECT_TRUE(recset.readAll().endsWith(",\"Unlimited\",\"Don't warn\"\r\n"));
    for (QTranslator* t : qApp->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(t);
        delete t;
    }

    const QSet<QString> kept = testing_support::keptAsTheyAre(QStringLiteral(SONAVEIL_SOURCE_DIR "/translations/sonaveil_de.ts"));
    static const QRegularExpression words(QStringLiteral("[A-Za-z]{2}"));
    QStringList untranslated;
    for (const QString& t : shown) {
        if (english.contains(t) && t.contains(words) && !testing_support::isKept(kept, t) && t != QLatin1String("Recorder")
            && !t.startsWith(QLatin1String("Monitor of")))
            untranslated << t;
    }
    untranslated.sort();
    EXPECT_TRUE(untranslated.isEmpty()) << "shown in English in the German build:\n" << untranslated.join(u'\n').toStdString();
    EXPECT_TRUE(clashes.isEmpty()) << clashes.join(u'\n').toStdString();
    EXPECT_TRUE(cutOff.isEmpty()) << cutOff.join(u'\n').toStdString();
}
