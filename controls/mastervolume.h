#pragma once

#include "controls/ctimer.h"
#include "controls/focusframe.h"
#include "controls/mastervolumemodel.h"

#include <QImage>
#include <QWidget>

#include <atomic>
#include <memory>

namespace sonaveil::controls {

// The system volume bar: paints a MasterVolumeModel and feeds it the mouse. It follows the system's
// master output through the output's change announcements, and where the output cannot announce
// them, by polling it every 50 ms while it is shown (not while hidden or minimised).
class MasterVolume : public QWidget, private cTimerOwner {
    Q_OBJECT
    Q_PROPERTY(int Value READ value WRITE setValue NOTIFY Change)
    Q_PROPERTY(bool Mute READ mute WRITE setMute)
    Q_PROPERTY(int Orientation READ orientation WRITE setOrientation)
    Q_PROPERTY(int SegmentSize READ segmentSize WRITE setSegmentSize)

public:
    static constexpr int kPollMs = 50;

    // Follows the default PulseAudio sink.
    explicit MasterVolume(QWidget* parent = nullptr);
    // Follows the given system output (a fake in tests).
    explicit MasterVolume(std::unique_ptr<platform::SystemVolume> system, QWidget* parent = nullptr);
    ~MasterVolume() override;

    MasterVolumeModel& model() { return m_model; }
    const MasterVolumeModel& model() const { return m_model; }
    bool polling() const { return m_timer.running(); }

    int value() const { return m_model.value(); }
    void setValue(int value) { m_model.setValue(value); }
    bool mute() const { return m_model.mute(); }
    void setMute(bool mute) { m_model.setMute(mute); }
    int orientation() const { return m_model.orientation(); }
    void setOrientation(int orientation);
    int segmentSize() const { return m_model.segmentSize(); }
    void setSegmentSize(int size) { m_model.setSegmentSize(size); }
    // Mouse presses are ignored while disabled (QWidget::setEnabled does the same).
    void setEnabledState(bool on) { setEnabled(on); }

    // The knob's picture; a null image brings back the built-in knob.
    void setSliderIcon(const QImage& picture);
    const QImage& sliderIcon() const { return m_knob; }
    static QImage builtInKnob();

    // Persisted properties (the knob picture as PNG bytes under "SliderIcon").
    void readProperties(const PropertyBag& bag);
    void writeProperties(PropertyBag& bag) const;

    QSize sizeHint() const override;
    // Whether the keyboard focus is shown (a frame round the bar in the window's text colour).
    bool focusFrameShown() const { return hasFocus() && m_focus.visible(); }
    // "Volume:  50%" in the user's language.
    QString toolTipText() const;

signals:
    void Change(int value);
    void MouseDown(int button);
    void MouseUp(int button);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void keyPressEvent(QKeyEvent*) override;
    void wheelEvent(QWheelEvent*) override;
    void showEvent(QShowEvent*) override;
    void hideEvent(QHideEvent*) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent*) override;
    void changeEvent(QEvent*) override;
    void focusInEvent(QFocusEvent*) override;
    void focusOutEvent(QFocusEvent*) override;

private:
    void iTimer_Proc(long elapsedMs, long id) override;
    void syncGeometry();
    // Reads the system at once and, where it cannot announce changes, starts the poll.
    void follow();
    // On the interface thread, after the system announced a change.
    void systemChanged();

    std::unique_ptr<platform::SystemVolume> m_system;
    MasterVolumeModel m_model;
    cTimer m_timer;
    QImage m_knob;
    bool m_syncing = false;
    FocusFrame m_focus;
    bool m_announcedMute = false;
    // Set while a change announcement is on its way to the interface thread: a burst of them
    // from the system's thread wakes the interface thread once.
    std::atomic<bool> m_changePending{false};
};

} // namespace sonaveil::controls
