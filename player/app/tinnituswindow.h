#pragma once

#include "player/diary/diaryreminder.h"
#include "player/diary/diarystore.h"
#include "player/diary/profilesession.h"
#include "player/tinnitus/maskingsound.h"

#include <QTimer>
#include <QWidget>

#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPainter;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSlider;
class QTabWidget;

namespace sonaveil::player {

class Dialogs;
class ProfilePlots;

// The "My Tinnitus" window: the measures (hearing check, loudness match, minimum masking
// level, residual inhibition) run by a ProfileSession, the diary's entry form, the plots, the
// CSV export and the printed report, and "Make my masking sound". It forwards the user's
// actions to the models and shows what they hold.
class TinnitusWindow : public QWidget {
    Q_OBJECT
public:
    enum Tab { MeasureTab, DiaryTab, PlotsTab, ReportTab };

    TinnitusWindow(ProfileSession& session, DiaryStore& diary, Dialogs& dialogs, QWidget* parent = nullptr);
    ~TinnitusWindow() override;

    // The system volume in percent, shown before a measure; nothing when it is not known.
    std::function<std::optional<int>()> systemVolume;
    // The master slider's position, for the masking sound's volume.
    std::function<int()> masterPosition;

    void showTab(Tab tab);
    // Shows, raises and focuses the window (the tray, the command line, the pitch match).
    void bringUp();
    // Offers today's entry in the diary (the reminder's notice leads here).
    void offerEntry();
    // Reads the diary again into the plots and the form (after writes from elsewhere).
    void reload();

    QTabWidget* tabs() const { return m_tabs; }
    // Null when the plots cannot be drawn (their library did not load): the page says why.
    ProfilePlots* charts() const { return m_charts; }
    QLabel* statusLabel() const { return m_status; }
    QLabel* volumeLabel() const { return m_volume; }
    QPushButton* button(const QString& name) const;

    // "Save entry": false after saying why.
    bool saveEntry();
    // Writes the three CSV files / the PDF report to the chosen name; false after saying why.
    bool exportCsv(const QString& base);
    bool printReport(const QString& file);
    // The report's one page, drawn on any painter (the PDF, or a picture).
    void paintReport(QPainter& painter, const QRect& page);
    // "Make my masking sound": made from the latest hearing check and masking level.
    std::optional<MaskingSound> makeMaskingSound();

signals:
    void pitchMatchClicked();
    // The masking sound to try, then what the user decided about it.
    void maskingSoundMade(const sonaveil::player::MaskingSound& sound);
    void maskingSoundKept();
    void maskingSoundChange();
    void maskingSoundDiscarded();
    // The daily reminder's time was picked, changed or turned off.
    void reminderTimeChanged();

protected:
    void showEvent(QShowEvent*) override;
    void hideEvent(QHideEvent*) override;
    void keyPressEvent(QKeyEvent*) override;

private:
    QWidget* buildMeasures();
    QWidget* buildDiary();
    QWidget* buildReport();
    QPushButton* makeButton(const QString& name, const QString& caption, QWidget* parent);
    void refreshVolume();
    void refreshMeasure();
    void refreshPitch();
    void startMeasure(ProfileSession::Measure measure);
    void updateFormForKind();
    void say(const QString& text);

    ProfileSession& m_session;
    DiaryStore& m_diary;
    DiaryReminder m_reminder;
    Dialogs& m_dialogs;
    QTimer m_tick;

    QTabWidget* m_tabs = nullptr;
    QLabel* m_status = nullptr;
    QLabel* m_volume = nullptr;
    QLabel* m_pitch = nullptr;
    QLabel* m_measureText = nullptr;
    QProgressBar* m_progress = nullptr;
    QComboBox* m_noise = nullptr;

    QRadioButton* m_morning = nullptr;
    QRadioButton* m_evening = nullptr;
    QSlider* m_loudness = nullptr;
    QSlider* m_bother = nullptr;
    QSlider* m_sleep = nullptr;
    QLabel* m_loudnessValue = nullptr;
    QLabel* m_botherValue = nullptr;
    QLabel* m_sleepValue = nullptr;
    QLineEdit* m_note = nullptr;
    QCheckBox* m_remindAtStart = nullptr;
    QCheckBox* m_remindAtTime = nullptr;
    QComboBox* m_remindTime = nullptr;

    ProfilePlots* m_charts = nullptr;
    QLabel* m_reportText = nullptr;
};

} // namespace sonaveil::player
