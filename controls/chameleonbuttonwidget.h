#pragma once

#include "controls/chameleonbutton.h"
#include "controls/paintedbutton.h"

#include <functional>
#include <memory>

namespace sonaveil::controls {

// The chameleon push button on screen. The hover look follows a polling timer, as the model
// asks; objectName is the instance name.
class ChameleonButton : public PaintedButton {
    Q_OBJECT
    Q_PROPERTY(int ButtonType READ buttonType WRITE setButtonType)
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)
    Q_PROPERTY(int ColorScheme READ colorScheme WRITE setColorScheme)
    Q_PROPERTY(uint BackColor READ backColor WRITE setBackColor)
    Q_PROPERTY(uint BackOver READ backOver WRITE setBackOver)
    Q_PROPERTY(uint ForeColor READ foreColor WRITE setForeColor)
    Q_PROPERTY(uint ForeOver READ foreOver WRITE setForeOver)
    Q_PROPERTY(bool CheckBoxBehaviour READ checkBoxBehaviour WRITE setCheckBoxBehaviour)
    Q_PROPERTY(bool Value READ value WRITE setValue)
    Q_PROPERTY(bool HandPointer READ handPointer WRITE setHandPointer)
    Q_PROPERTY(bool SoftBevel READ softBevel WRITE setSoftBevel)
    Q_PROPERTY(bool ShowFocusRect READ showFocusRect WRITE setShowFocusRect)
    Q_PROPERTY(QString Version READ version)

public:
    explicit ChameleonButton(const QString& instanceName, QWidget* parent = nullptr);
    ~ChameleonButton() override;

    ChameleonButtonModel& model() { return m_model; }
    const ChameleonButtonModel& model() const { return m_model; }

    void load(const PropertyBag& bag);
    void save(PropertyBag& bag) const { m_model.save(bag); }

    int buttonType() const { return m_model.buttonType(); }
    void setButtonType(int t) { m_model.setButtonType(t); reshape(); }
    QString caption() const { return QString::fromStdString(m_model.caption()); }
    void setCaption(const QString& c);
    int colorScheme() const { return m_model.colorScheme(); }
    void setColorScheme(int s) { m_model.setColorScheme(s); }
    uint backColor() const { return m_model.backColor(); }
    void setBackColor(uint c) { m_model.setBackColor(c); }
    uint backOver() const { return m_model.backOver(); }
    void setBackOver(uint c) { m_model.setBackOver(c); }
    uint foreColor() const { return m_model.foreColor(); }
    void setForeColor(uint c) { m_model.setForeColor(c); }
    uint foreOver() const { return m_model.foreOver(); }
    void setForeOver(uint c) { m_model.setForeOver(c); }
    bool checkBoxBehaviour() const { return m_model.checkBoxBehaviour(); }
    void setCheckBoxBehaviour(bool on) { m_model.setCheckBoxBehaviour(on); }
    bool value() const { return m_model.value(); }
    void setValue(bool on) { m_model.setValue(on); }
    bool handPointer() const { return m_model.handPointer(); }
    void setHandPointer(bool on) { m_model.setHandPointer(on); }
    bool softBevel() const { return m_model.softBevel(); }
    void setSoftBevel(bool on) { m_model.setSoftBevel(on); }
    bool showFocusRect() const { return m_model.showFocusRect(); }
    void setShowFocusRect(bool on) { m_model.setShowFocusRect(on); }
    QString version() const { return QString::fromLatin1(ChameleonButtonModel::kVersion); }
    void setButtonFont(const FontSpec& f) { m_model.setFont(f); }
    void setDisplayAsDefault(bool on) { m_model.setDisplayAsDefault(on); }

    void Refresh() { m_model.Refresh(); }
    void DisableRefresh() { m_model.DisableRefresh(); }

    QSize sizeHint() const override;
    // Whether the keyboard focus is shown.
    bool focusFrameShown() const { return hasFocus() && (focusVisible() || m_model.showFocusRect()); }

signals:
    void Click();
    void MouseDown(int button, int shift, float x, float y);
    void MouseMove(int button, int shift, float x, float y);
    void MouseUp(int button, int shift, float x, float y);
    void KeyPress(int keyAscii);
    void KeyDown(int keyCode, int shift);
    void KeyUp(int keyCode, int shift);
    void MouseOver();
    void MouseOut();

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void showEvent(QShowEvent*) override;
    void hideEvent(QHideEvent*) override;
    void leaveEvent(QEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void changeEvent(QEvent*) override;
    Announced announcement() const override;
    void keyPressed(QKeyEvent* e, int keyCode, int shift) override;
    void keyReleased(int keyCode, int shift) override;
    void focusChanged(bool in) override;
    void doubleClicked(bool pressDelivered) override;

private:
    class Bridge;
    friend class Bridge;
    void reshape();
    void applyPointer();
    void updateShortcut() { setAccessKey(MultibuttonModel::accessKeyOf(m_model.caption())); }
    void syncColors();
    // The pointer left or can no longer be over the button: the hover look ends.
    void pointerGone();

    std::unique_ptr<Bridge> m_bridge;
    ChameleonButtonModel m_model;
};

} // namespace sonaveil::controls
