#pragma once

#include "controls/focusframe.h"
#include "controls/ucslider.h"

#include <QWidget>

namespace sonaveil::controls {

// The painted slider on screen. Cheap by design: no timers, no child widgets, one short paint.
// objectName is the instance name (ucSlider1 ... ucSlider103).
class UcSlider : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int Value READ value WRITE setValue NOTIFY Change)
    Q_PROPERTY(int Min READ minimum WRITE setMinimum)
    Q_PROPERTY(int Max READ maximum WRITE setMaximum)
    Q_PROPERTY(int SmallChange READ smallChange WRITE setSmallChange)
    Q_PROPERTY(int LargeChange READ largeChange WRITE setLargeChange)
    Q_PROPERTY(bool Vertical READ vertical WRITE setVertical)
    Q_PROPERTY(uint GradientColor1 READ gradientColor1 WRITE setGradientColor1)
    Q_PROPERTY(uint GradientColor2 READ gradientColor2 WRITE setGradientColor2)

public:
    explicit UcSlider(const QString& instanceName, QWidget* parent = nullptr);

    UcSliderModel& model() { return m_model; }
    const UcSliderModel& model() const { return m_model; }

    void load(const PropertyBag& bag);
    void save(PropertyBag& bag) const { m_model.save(bag); }

    int value() const { return m_model.value(); }
    // Any 32-bit position; it is clamped into Min..Max.
    void setValue(qint64 v) { m_model.setValue(v); }
    int minimum() const { return m_model.minimum(); }
    void setMinimum(qint64 v) { m_model.setMinimum(v); }
    int maximum() const { return m_model.maximum(); }
    void setMaximum(qint64 v) { m_model.setMaximum(v); }
    void setRange(qint64 lo, qint64 hi) { m_model.setRange(lo, hi); }
    int smallChange() const { return m_model.smallChange(); }
    void setSmallChange(int v) { m_model.setSmallChange(v); }
    int largeChange() const { return m_model.largeChange(); }
    void setLargeChange(int v) { m_model.setLargeChange(v); }
    bool vertical() const { return m_model.orientation() == UcSliderModel::Orientation::Vertical; }
    void setVertical(bool on);
    uint gradientColor1() const { return m_model.gradientColor1(); }
    void setGradientColor1(uint c) { m_model.setGradientColor1(c); }
    uint gradientColor2() const { return m_model.gradientColor2(); }
    void setGradientColor2(uint c) { m_model.setGradientColor2(c); }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // Whether the keyboard focus is shown (a frame round the slider in the window's text colour).
    bool focusFrameShown() const { return hasFocus() && m_focus.visible(); }

signals:
    // Value changed, by the user or by the program.
    void Change();
    // Value changed while the thumb is dragged.
    void Scroll();
    // The reset gesture: a double click on the thumb.
    void Reset();

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;
    void keyPressEvent(QKeyEvent*) override;
    void wheelEvent(QWheelEvent*) override;
    void changeEvent(QEvent*) override;
    void focusInEvent(QFocusEvent*) override;
    void focusOutEvent(QFocusEvent*) override;

private:
    void announceValue();

    // Passes the model's notifications on as signals.
    struct Relay : UcSliderHost {
        UcSlider* w;
        explicit Relay(UcSlider* owner) : w(owner) {}
        void Change() override
        {
            w->announceValue();
            emit w->Change();
        }
        void Scroll() override { emit w->Scroll(); }
        void Reset() override { emit w->Reset(); }
        void redraw() override { w->update(); }
    };

    Relay m_relay;
    UcSliderModel m_model;
    FocusFrame m_focus;
};

} // namespace sonaveil::controls
