#pragma once

#include "controls/timecontrolmodel.h"

#include <QTimer>
#include <QWidget>

class QLineEdit;

namespace sonaveil::controls {

// The spin button beside the time text: an up and a down arrow that repeat while held.
class TimeSpinButton : public QWidget {
    Q_OBJECT
public:
    explicit TimeSpinButton(QWidget* parent = nullptr);
    QSize sizeHint() const override { return {16, 19}; }

signals:
    void up();
    void down();

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;

private:
    void step();
    QTimer m_repeat;
    int m_pressed = 0; // 1 up, -1 down
};

// Time of day entry: a text box showing the time and a spin button beside it, painting a
// TimeControlModel and feeding it keys, clicks and focus changes.
class TimeControl : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int H READ H WRITE setH)
    Q_PROPERTY(int Min READ Min WRITE setMin)
    Q_PROPERTY(int S READ S WRITE setS)
    Q_PROPERTY(bool Hour24 READ hour24 WRITE setHour24)
    Q_PROPERTY(QString Value READ value WRITE setValue)

public:
    explicit TimeControl(QWidget* parent = nullptr);

    TimeControlModel& model() { return m_model; }
    int H() const { return m_model.H(); }
    void setH(int h) { m_model.setH(h); }
    int Min() const { return m_model.Min(); }
    void setMin(int m) { m_model.setMin(m); }
    int S() const { return m_model.S(); }
    void setS(int s) { m_model.setS(s); }
    bool hour24() const { return m_model.hour24(); }
    void setHour24(bool on) { m_model.setHour24(on); }
    QString value() const { return QString::fromStdString(m_model.value()); }
    void setValue(const QString& text) { m_model.setValue(text.toStdString()); }
    QString text() const;

    void readProperties(const PropertyBag& bag) { m_model.readProperties(bag); }
    void writeProperties(PropertyBag& bag) const { m_model.writeProperties(bag); }

    QLineEdit* textBox() const { return m_text; }
    TimeSpinButton* spinButton() const { return m_spin; }
    QSize sizeHint() const override;

signals:
    void Change();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent*) override;

private:
    void showModel();
    void layoutParts();
    void announceChange();

    TimeControlModel m_model;
    QLineEdit* m_text;
    TimeSpinButton* m_spin;
    int m_announcedPart = -1;
    int m_announcedValue = -1;
};

} // namespace sonaveil::controls
