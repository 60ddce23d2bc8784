#include "playerfixture.h"

#include "accessibilitycheck.h"
#include "controls/mastervolume.h"
#include "controls/multibuttonwidget.h"
#include "player/app/mainwindow.h"
#include "player/app/pitchmatchwindow.h"
#include "player/app/profileplots.h"
#include "player/app/tinnitusprofile.h"
#include "player/app/tinnituswindow.h"
#include "player/desktop/commandline.h"
#include "l10n/language.h"

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QTableWidget>
#include <QPainter>
#include <QTest>
#include <QTranslator>

#include <cmath>
#include <gtest/gtest.h>
#include <map>

using namespace sonaveil;
using namespace sonaveil::player;

namespace {

// The listener's hearing: a slope up to the high pitches, a dip at 6 kHz, the right ear a
// little weaker; off the 5 dB grid of the procedure.
double curve(Ear ear, double hz)
{
    return -74.0 + 5.0 * std::log2(hz / 250.0) + (ear == Ear::Right ? 4.0 : 0.0) + (hz == 6000 ? 9.0 : 0.0);
}

// Opens the window from the tray menu, with a matched pitch and the measures on a clock the
// test moves.
TinnitusWindow* openWithClock(Player& p, std::int64_t& ms)
{
    p.tinnitus().setMatch(5200, MatchKind::Tone);
    ProfileSession& s = p.profile()->session();
    s.hooks().steadyMs = [&ms] { return ms; };
    QAction* entry = p.tray()->menu()->findChild<QAction*>("tinnitus");
    EXPECT_NE(entry, nullptr);
    if (entry)
        entry->trigger();
    return p.profile()->window();
}

} // namespace

TEST(TinnitusWindow, ComesFromTheTrayThePitchMatchAndTheCommandLine)
{
    PlayerFixture f;
    Player& p = f.start();
    QAction* entry = p.tray()->menu()->findChild<QAction*>("tinnitus");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->text(), "My &Tinnitus…");
    entry->trigger();
    TinnitusWindow* w = p.profile()->window();
    ASSERT_TRUE(w->isVisible());
    EXPECT_EQ(w->windowTitle(), "My Tinnitus");
    EXPECT_TRUE(w->findChild<QLabel*>("lblSelfHelp")->text().contains("not a diagnosis"));
    w->close();

    p.pitchMatchWindow()->bringUp();
    click(p.pitchMatchWindow()->button("cmdProfile"));
    EXPECT_TRUE(w->isVisible());
    w->close();

    std::string error;
    const auto line = CommandLine::parse({"--tinnitus"}, error);
    ASSERT_TRUE(line);
    EXPECT_EQ(line->arguments(), std::vector<std::string>({"--tinnitus"}));
    EXPECT_FALSE(line->bringsWindowForward());
    EXPECT_TRUE(QString::fromStdString(CommandLine::usage()).contains("--tinnitus"));
}

TEST(TinnitusWindow, AScriptedListenerThroughEveryMeasureWithTheMixHeldSilent)
{
    PlayerFixture f;
    Player& p = f.start();
    p.model().setCheck(3, CheckState::Checked);
    std::int64_t ms = 1'000'000;
    TinnitusWindow* w = openWithClock(p, ms);
    ProfileSession& s = p.profile()->session();
    ASSERT_EQ(*s.pitch(), 5200);
    EXPECT_TRUE(w->volumeLabel()->text().startsWith(
        QString("System volume: %1 %.").arg(p.mainWindow()->systemVolume()->value())));

    // The hearing check: the listener presses Space 300 ms after each tone it hears.
    EXPECT_EQ(p.fading().fade(), 1.0);
    click(w->button("cmdHearing"));
    ASSERT_EQ(s.running(), ProfileSession::Measure::Hearing);
    EXPECT_EQ(p.fading().fade(), 0.0) << "the mix is silent while a measure runs";
    EXPECT_TRUE(p.profile()->testing());
    EXPECT_TRUE(w->button("cmdHeard")->isVisible());
    EXPECT_FALSE(w->button("cmdAccept")->isVisible());
    HearingCheck* h = s.hearing();
    std::map<std::pair<int, double>, double> last;
    std::optional<std::int64_t> pressAt;
    bool was = false;
    for (int i = 0; i < 200'000 && s.running() == ProfileSession::Measure::Hearing; ++i) {
        ms += 50;
        s.tick();
        const bool sounding = s.safeSound().sounding();
        if (sounding && !was) {
            const auto& point = h->points()[h->current()];
            const double level = *s.safeSound().lastLevel();
            const auto key = std::make_pair(int(point.ear), point.hz);
            EXPECT_LE(level, SafeSound::kAbsoluteCeilingDb);
            if (last.count(key))
                EXPECT_LE(level - last[key], SafeSound::kMaxStepDb);
            else
                EXPECT_LE(level, SafeSound::kStartDb);
            last[key] = level;
            if (level >= curve(point.ear, point.hz))
                pressAt = ms + 300;
        }
        was = sounding;
        if (pressAt && ms >= *pressAt) {
            QTest::keyClick(w, Qt::Key_Space);
            pressAt.reset();
        }
    }
    ASSERT_EQ(s.running(), ProfileSession::Measure::None);
    EXPECT_EQ(p.fading().fade(), 1.0) << "the mix comes back after the measure";
    for (Ear ear : {Ear::Left, Ear::Right}) {
        const auto found = s.thresholds(ear);
        ASSERT_EQ(found.size(), 12u);
        for (const auto& t : found) {
            EXPECT_GE(t.db, curve(ear, t.hz)) << t.hz;
            EXPECT_LT(t.db, curve(ear, t.hz) + 5.0) << t.hz;
        }
    }
    const double threshold = *s.thresholdAtPitch();
    EXPECT_NEAR(threshold, curve(Ear::Left, 5200), 5.0);

    // The loudness match: Up until the tone is 12 dB over the threshold, then Accept.
    click(w->button("cmdLoudness"));
    ASSERT_EQ(s.running(), ProfileSession::Measure::Loudness);
    EXPECT_EQ(p.fading().fade(), 0.0);
    while (*s.adjustment()->aboveThreshold() < 12)
        QTest::keyClick(w, Qt::Key_Up);
    click(w->button("cmdAccept"));

    // The masking level with a band around the pitch, 20 dB over the threshold.
    auto* noise = w->findChild<QComboBox*>("cboNoise");
    noise->setCurrentIndex(noise->findData(int(TestKind::Band)));
    click(w->button("cmdMasking"));
    ASSERT_EQ(s.running(), ProfileSession::Measure::Masking);
    while (*s.adjustment()->aboveThreshold() < 20)
        click(w->button("cmdLouder"));
    click(w->button("cmdAccept"));

    // Residual inhibition: a minute of noise, then 42 s until the tinnitus is back, partly gone.
    click(w->button("cmdInhibition"));
    ASSERT_EQ(s.running(), ProfileSession::Measure::Inhibition);
    EXPECT_FALSE(w->button("cmdPartly")->isVisible()) << "no answer while the noise plays";
    for (int i = 0; i < 61 * 20; ++i) {
        ms += 50;
        s.tick();
    }
    EXPECT_FALSE(s.safeSound().sounding());
    EXPECT_EQ(*s.safeSound().lastLevel(), threshold + 30) << "10 dB over the masking level";
    ms += 41'000;
    s.tick();
    ASSERT_TRUE(w->button("cmdPartly")->isVisible());
    click(w->button("cmdPartly"));
    EXPECT_EQ(s.running(), ProfileSession::Measure::None);

    const auto measures = p.profile()->diary().measures();
    std::map<MeasureRecord::Kind, MeasureRecord> lastOf;
    for (const MeasureRecord& m : measures)
        lastOf[m.kind] = m;
    EXPECT_EQ(*lastOf[MeasureRecord::Kind::Loudness].aboveThreshold, 12);
    EXPECT_EQ(*lastOf[MeasureRecord::Kind::Masking].aboveThreshold, 20);
    EXPECT_EQ(lastOf[MeasureRecord::Kind::Masking].detail, "band");
    EXPECT_NEAR(*lastOf[MeasureRecord::Kind::Inhibition].value, 42.0, 1.0);
    EXPECT_EQ(lastOf[MeasureRecord::Kind::Inhibition].detail, "partial");
    EXPECT_EQ(p.fading().fade(), 1.0);
}

TEST(TinnitusWindow, EscapeStopsAMeasureAndAStoppedCheckOffersARetry)
{
    PlayerFixture f;
    Player& p = f.start();
    std::int64_t ms = 5000;
    TinnitusWindow* w = openWithClock(p, ms);
    ProfileSession& s = p.profile()->session();
    click(w->button("cmdHearing"));
    // Pressing between the tones, again and again: the check stops and says why.
    for (int i = 0; i < 40 && s.hearing()->phase() != HearingCheck::Phase::Stopped; ++i) {
        ms += 50;
        s.tick();
        if (s.hearing()->phase() == HearingCheck::Phase::Pause)
            click(w->button("cmdHeard"));
    }
    ASSERT_EQ(s.hearing()->phase(), HearingCheck::Phase::Stopped);
    EXPECT_TRUE(w->button("cmdRetry")->isVisible());
    EXPECT_TRUE(w->findChild<QLabel*>("lblMeasure")->text().contains("did not agree"));
    click(w->button("cmdRetry"));
    EXPECT_EQ(s.hearing()->phase(), HearingCheck::Phase::Pause);
    QTest::keyClick(w, Qt::Key_Escape);
    EXPECT_EQ(s.running(), ProfileSession::Measure::None);
    EXPECT_TRUE(w->isVisible()) << "Escape ends the measure first";
    EXPECT_EQ(p.fading().fade(), 1.0);

    // Residual inhibition before a masking level: it says what is missing.
    click(w->button("cmdInhibition"));
    EXPECT_EQ(s.running(), ProfileSession::Measure::None);
    EXPECT_TRUE(w->statusLabel()->text().contains("masking level first"));
}

TEST(TinnitusWindow, TheDiaryFormByKeyboardAndTheNoticeAtStart)
{
    PlayerFixture f;
    {
        Player& p = f.start();
        DiaryReminder(p.profile()->diary()).setAtStart(true);
    }
    f.close();
    f.dialogs.notices.clear();
    Player& p = f.start();
    ASSERT_FALSE(f.dialogs.notices.empty());
    EXPECT_TRUE(f.dialogs.notices.back().endsWith("|Open the diary"));
    f.dialogs.noticeActions.back()();
    TinnitusWindow* w = p.profile()->window();
    ASSERT_TRUE(w->isVisible());
    EXPECT_EQ(w->tabs()->currentIndex(), int(TinnitusWindow::DiaryTab));

    auto* loudness = w->findChild<QSlider*>("sldLoudness");
    auto* bother = w->findChild<QSlider*>("sldBother");
    loudness->setFocus();
    QTest::keyClick(loudness, Qt::Key_Right);
    QTest::keyClick(loudness, Qt::Key_Right);
    QTest::keyClick(bother, Qt::Key_Left);
    QTest::keyClicks(w->findChild<QLineEdit*>("txtNote"), "quiet, after rain");
    w->findChild<QRadioButton*>("optEvening")->click();
    EXPECT_FALSE(w->findChild<QSlider*>("sldSleep")->isEnabled()) << "sleep is a morning's question";
    click(w->button("cmdSaveEntry"));
    const auto entries = p.profile()->diary().entries();
    ASSERT_EQ(entries.size(), 1);
    EXPECT_EQ(entries[0].loudness, 7);
    EXPECT_EQ(entries[0].bother, 4);
    EXPECT_FALSE(entries[0].sleep);
    EXPECT_EQ(entries[0].note, "quiet, after rain");
    EXPECT_EQ(entries[0].kind, DiaryEntry::Kind::Evening);
    EXPECT_TRUE(w->findChild<QLineEdit*>("txtNote")->text().isEmpty());

    EXPECT_TRUE(testing_support::accessibilityProblems(w).isEmpty())
        << testing_support::accessibilityProblems(w).join("\n").toStdString();
    EXPECT_TRUE(testing_support::duplicateAccessKeys(w).isEmpty())
        << testing_support::duplicateAccessKeys(w).join("\n").toStdString();
}

// Thirty days of diary and nights, made through the models, then every plot: pictures to look
// at, tables a screen reader reads, and "what helps" equal to the means worked out here.
TEST(TinnitusWindow, ThirtyDaysOfDiaryAndNightsInThePlotsAndTheReport)
{
    PlayerFixture f;
    Player& p = f.start();
    p.tinnitus().setMatch(5200, MatchKind::Tone);
    DiaryStore& diary = p.profile()->diary();
    NightLog log(diary);
    const QDate first = QDate::currentDate().addDays(-30);
    struct Sum {
        int nights = 0;
        double loudness = 0;
    };
    std::map<QString, Sum> byMix, bySound;
    for (int d = 0; d < 30; ++d) {
        const QDate day = first.addDays(d);
        const QString mix = d % 3 == 0 ? "Rain night" : d % 3 == 1 ? "Surf" : "Brown and wind";
        const QStringList sounds = d % 3 == 0 ? QStringList{"Rain", "Wind"} : d % 3 == 1 ? QStringList{"Surf"} : QStringList{"Brown Noise", "Wind"};
        NightLog::Playing playing;
        playing.mix = mix;
        playing.sounds = sounds;
        playing.notchHz = 5200;
        log.update(QDateTime(day, QTime(22, 30 + d % 20)), playing);
        log.finish(QDateTime(day.addDays(1), QTime(6, 45)));
        DiaryEntry morning;
        morning.kind = DiaryEntry::Kind::Morning;
        morning.at = QDateTime(day.addDays(1), QTime(7, 10));
        morning.loudness = 3 + (d * 7) % 5 + (d % 3 == 1 ? 2 : 0);
        morning.bother = 2 + d % 4;
        morning.sleep = 5 + d % 5;
        ASSERT_TRUE(diary.addEntry(morning));
        DiaryEntry evening = morning;
        evening.kind = DiaryEntry::Kind::Evening;
        evening.at = QDateTime(day.addDays(1), QTime(21, 0));
        evening.sleep.reset();
        evening.loudness = 4 + d % 3;
        ASSERT_TRUE(diary.addEntry(evening));
        byMix[mix].nights++;
        byMix[mix].loudness += morning.loudness;
        for (const QString& sound : sounds) {
            bySound[sound].nights++;
            bySound[sound].loudness += morning.loudness;
        }
        if (d % 7 == 0) {
            QList<MeasureRecord> check;
            for (Ear ear : {Ear::Left, Ear::Right})
                for (double hz : HearingCheck::frequencies()) {
                    MeasureRecord m;
                    m.at = QDateTime(day, QTime(19, 0));
                    m.ear = ear == Ear::Left ? MeasureRecord::Ear::Left : MeasureRecord::Ear::Right;
                    m.hz = hz;
                    m.value = std::ceil(curve(ear, hz) / 5) * 5;
                    check.append(m);
                }
            ASSERT_TRUE(diary.addMeasures(check));
            for (auto [kind, value, detail] : {std::tuple{MeasureRecord::Kind::Loudness, 10.0 + d % 4, QString()},
                                               std::tuple{MeasureRecord::Kind::Masking, 22.0 - d / 7, QString("pink")},
                                               std::tuple{MeasureRecord::Kind::Inhibition, 30.0 + 4 * d, QString("partial")}}) {
                MeasureRecord m;
                m.at = QDateTime(day, QTime(19, 30));
                m.kind = kind;
                m.hz = 5200;
                m.value = kind == MeasureRecord::Kind::Inhibition ? value : -50.0 + value;
                if (kind != MeasureRecord::Kind::Inhibition)
                    m.aboveThreshold = value;
                m.detail = detail;
                ASSERT_TRUE(diary.addMeasure(m));
            }
        }
    }
    ASSERT_EQ(diary.nights().size(), 30);

    p.profile()->showWindow(TinnitusWindow::PlotsTab);
    TinnitusWindow* w = p.profile()->window();
    w->resize(900, 720);
    ProfilePlots* charts = w->charts();
    const char* names[] = {"audiogram", "measures", "ratings", "what-helps"};
    for (int plot = 0; plot < ProfilePlots::kPlots; ++plot) {
        charts->tabs()->setCurrentIndex(plot);
        QApplication::processEvents();
        EXPECT_TRUE(w->grab().toImage().save(pictureFolder() + "/profile-" + names[plot] + ".png"));
        QTableWidget* table = charts->table(ProfilePlots::Plot(plot));
        EXPECT_GT(table->rowCount(), 0) << names[plot];
        EXPECT_TRUE(table->accessibleName().endsWith("as a table"));
    }
    EXPECT_EQ(charts->table(ProfilePlots::Audiogram)->rowCount(), 12) << "eleven pitches and the tinnitus pitch";
    EXPECT_EQ(charts->table(ProfilePlots::Ratings)->rowCount(), 90);

    // "What helps" as the table shows it: the same means as worked out by hand.
    QTableWidget* helps = charts->table(ProfilePlots::WhatHelps);
    ASSERT_EQ(helps->rowCount(), int(byMix.size() + bySound.size()));
    int checked = 0;
    for (int r = 0; r < helps->rowCount(); ++r) {
        const QString name = helps->item(r, 0)->text();
        const bool sound = helps->item(r, 1)->text() == "Sound";
        const Sum& sum = sound ? bySound[name] : byMix[name];
        ASSERT_GT(sum.nights, 0) << name.toStdString();
        EXPECT_EQ(helps->item(r, 2)->text().toInt(), sum.nights);
        EXPECT_EQ(helps->item(r, 3)->text(), QLocale().toString(sum.loudness / sum.nights, 'f', 2)) << name.toStdString();
        ++checked;
    }
    EXPECT_EQ(checked, 7);
    charts->setTables(true);
    EXPECT_TRUE(w->grab().toImage().save(pictureFolder() + "/profile-what-helps-table.png"));
    // What a screen reader gets of each plot: a table with its rows and the cells as shown.
    for (int plot = 0; plot < ProfilePlots::kPlots; ++plot) {
        charts->tabs()->setCurrentIndex(plot);
        QApplication::processEvents();
        QTableWidget* table = charts->table(ProfilePlots::Plot(plot));
        QAccessibleInterface* read = QAccessible::queryAccessibleInterface(table);
        ASSERT_NE(read, nullptr);
        QAccessibleTableInterface* cells = read->tableInterface();
        ASSERT_NE(cells, nullptr) << names[plot];
        EXPECT_EQ(cells->rowCount(), table->rowCount()) << names[plot];
        EXPECT_EQ(cells->columnCount(), table->columnCount()) << names[plot];
        for (int c = 0; c < table->columnCount(); ++c) {
            QAccessibleInterface* cell = cells->cellAt(table->rowCount() - 1, c);
            ASSERT_NE(cell, nullptr);
            const QTableWidgetItem* item = table->item(table->rowCount() - 1, c);
            ASSERT_NE(item, nullptr);
            EXPECT_EQ(cell->text(QAccessible::Name), item->text().isEmpty() ? "no value" : item->text())
                << names[plot] << " column " << c;
            EXPECT_FALSE(cells->columnDescription(c).isEmpty()) << names[plot] << " column " << c << " has no header";
        }
    }
    charts->setTables(false);
    for (int tab = 0; tab < 4; ++tab) {
        w->showTab(TinnitusWindow::Tab(tab));
        QApplication::processEvents();
        EXPECT_TRUE(w->grab().toImage().save(pictureFolder() + QString("/profile-tab%1.png").arg(tab)));
    }

    // The CSV files and the one-page report, through the file dialog.
    const QString base = f.prog() + "/export.csv";
    f.dialogs.files.push_back(base);
    w->showTab(TinnitusWindow::ReportTab);
    click(w->button("cmdExportCsv"));
    for (const char* leaf : {"/export.csv", "/export-nights.csv", "/export-measures.csv"})
        EXPECT_TRUE(QFile::exists(f.prog() + leaf)) << leaf;
    QFile nights(f.prog() + "/export-nights.csv");
    ASSERT_TRUE(nights.open(QIODevice::ReadOnly));
    EXPECT_EQ(nights.readAll().count("\r\n"), 31);
    f.dialogs.files.push_back(f.prog() + "/report.pdf");
    click(w->button("cmdReport"));
    QFile pdf(f.prog() + "/report.pdf");
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_EQ(bytes.count("/Type /Page\n") + bytes.count("/Type /Page "), 1) << "one page";
    // The same page as a picture, A4 at 100 dots an inch, to look at.
    QImage page(827, 1169, QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QPainter painter(&page);
        w->paintReport(painter, QRect(0, 0, 827, 1169).adjusted(60, 60, -60, -60));
    }
    EXPECT_TRUE(page.save(pictureFolder() + "/profile-report.png"));

    // "Make my masking sound": the equaliser from the curve, the noise at its volume, the notch
    // on; Discard puts back what was there.
    p.model().setCheck(5, CheckState::Checked);
    const EqualiserBands before = p.equaliser().bands();
    click(w->button("cmdMakeSound"));
    const auto made = w->makeMaskingSound();
    ASSERT_TRUE(made);
    EXPECT_EQ(p.equaliser().bands().positions, made->equaliser.positions);
    EXPECT_TRUE(p.equaliser().on());
    EXPECT_TRUE(p.model().entry(MaskingSound::kPinkNoise).on());
    EXPECT_FALSE(p.model().entry(5).on());
    EXPECT_TRUE(p.bandStop().on());
    EXPECT_GT(made->equaliser.positions[7], made->equaliser.positions[2]) << "weaker high hearing is raised";
    click(w->button("cmdDiscardSound"));
    EXPECT_EQ(p.equaliser().bands().positions, before.positions);
    EXPECT_TRUE(p.model().entry(5).on());
    EXPECT_FALSE(p.model().entry(MaskingSound::kPinkNoise).on());
    EXPECT_FALSE(p.bandStop().on());

    // Kept: the equaliser preset and the mix, under the name the window gives.
    click(w->button("cmdMakeSound"));
    click(w->button("cmdKeepSound"));
    EXPECT_TRUE(std::filesystem::exists(f.file("presets/My masking sound.eqf")));
    EXPECT_TRUE(std::filesystem::exists(f.file("saves/My masking sound.svp")));
    EXPECT_EQ(f.read("presets/My masking sound.eqf"), made->equaliser.toPresetText());
    EXPECT_FALSE(w->button("cmdDiscardSound")->isEnabled());
    EXPECT_TRUE(f.dialogs.messages.empty());
}

namespace {

void dropTranslators()
{
    for (QTranslator* t : qApp->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(t);
        delete t;
    }
}

// Every page of the window: its texts, and the access keys and captions as shown.
QStringList showEveryTab(TinnitusWindow* w, const QString& language, QSet<QString>* texts, QStringList* problems)
{
    QStringList pictures;
    for (int tab = 0; tab < 4; ++tab) {
        w->showTab(TinnitusWindow::Tab(tab));
        QApplication::processEvents();
        *problems << testing_support::duplicateAccessKeys(w) << testing_support::cutOffCaptions(w);
        const QString file = pictureFolder() + QString("/profile-%1-tab%2.png").arg(language).arg(tab);
        EXPECT_TRUE(w->grab().toImage().save(file));
        pictures << file;
    }
    for (const QString& t : testing_support::shownTexts(w, {"QTableWidget"}))
        texts->insert(t);
    return pictures;
}

} // namespace

TEST(TinnitusWindow, InGermanAndSpanishEveryTextIsTranslatedWithItsOwnAccessKeys)
{
    QSet<QString> english;
    {
        PlayerFixture f;
        Player& p = f.start();
        p.profile()->showWindow();
        QStringList ignored;
        showEveryTab(p.profile()->window(), "en", &english, &ignored);
    }
    const QString qm = QString::fromLocal8Bit(qgetenv("SONAVEIL_DIST")) + QStringLiteral("/translations");
    for (const auto& [locale, code] : {std::pair{QLocale(QLocale::German, QLocale::Germany), QString("de")},
                                       std::pair{QLocale(QLocale::Spanish, QLocale::Spain), QString("es")}}) {
        SCOPED_TRACE(code.toStdString());
        ASSERT_EQ(l10n::installTranslations(*qApp, qm, locale), code);
        QSet<QString> shown;
        QStringList problems;
        {
            PlayerFixture f;
            Player& p = f.start();
            p.profile()->showWindow();
            showEveryTab(p.profile()->window(), code, &shown, &problems);
            // The window's entries elsewhere speak the language too.
            EXPECT_NE(p.tray()->menu()->findChild<QAction*>("tinnitus")->text(), "My &Tinnitus…");
        }
        dropTranslators();
        const QSet<QString> kept =
            testing_support::keptAsTheyAre(QStringLiteral(SONAVEIL_SOURCE_DIR "/translations/sonaveil_") + code + ".ts");
        static const QRegularExpression words(QStringLiteral("[A-Za-z]{2}"));
        QStringList untranslated;
        for (const QString& t : shown)
            if (english.contains(t) && t.contains(words) && !testing_support::isKept(kept, t) && t != "Sonaveil")
                untranslated << t;
        EXPECT_TRUE(untranslated.isEmpty()) << "shown in English:\n" << untranslated.join('\n').toStdString();
        EXPECT_TRUE(problems.isEmpty()) << problems.join('\n').toStdString();
    }
}
