#pragma once

#include "controls/multibutton.h"
#include "controls/paintedbutton.h"

#include <memory>

namespace sonaveil::controls {

// The multi-style push button on screen: paints its model and feeds it mouse, keys, focus,
// hover and the activation of its window. objectName is the instance name.
class Multibutton : public PaintedButton {
    Q_OBJECT
    Q_PROPERTY(int ButtonStyle READ buttonStyle WRITE setButtonStyle)
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)
    Q_PROPERTY(bool CheckBoxMode READ checkBoxMode WRITE setCheckBoxMode)
    Q_PROPERTY(bool Value READ value WRITE setValue)
    Q_PROPERTY(uint BackColor READ backColor WRITE setBackColor)
    Q_PROPERTY(uint ForeColor READ foreColor WRITE setForeColor)
    Q_PROPERTY(bool ShowFocusRect READ showFocusRect WRITE setShowFocusRect)
    Q_PROPERTY(int CaptionAlign READ captionAlign WRITE setCaptionAlign)
    Q_PROPERTY(int PictureAlign READ pictureAlign WRITE setPictureAlign)
    Q_PROPERTY(int MousePointer READ mousePointer WRITE setMousePointer)
    Q_PROPERTY(bool DisplayAsDefault READ displayAsDefault WRITE setDisplayAsDefault)

public:
    explicit Multibutton(const QString& instanceName, QWidget* parent = nullptr);
    ~Multibutton() override;

    MultibuttonModel& model() { return m_model; }
    const MultibuttonModel& model() const { return m_model; }

    void load(const PropertyBag& bag);
    void save(PropertyBag& bag) const;

    int buttonStyle() const { return m_model.buttonStyle(); }
    void setButtonStyle(int s) { m_model.setButtonStyle(s); }
    QString caption() const { return QString::fromStdString(m_model.caption()); }
    void setCaption(const QString& c);
    bool checkBoxMode() const { return m_model.checkBoxMode(); }
    void setCheckBoxMode(bool on) { m_model.setCheckBoxMode(on); }
    bool value() const { return m_model.value(); }
    void setValue(bool on) { m_model.setValue(on); }
    uint backColor() const { return m_model.backColor(); }
    void setBackColor(uint c) { m_model.setBackColor(c); }
    uint foreColor() const { return m_model.foreColor(); }
    void setForeColor(uint c) { m_model.setForeColor(c); }
    bool showFocusRect() const { return m_model.showFocusRect(); }
    void setShowFocusRect(bool on) { m_model.setShowFocusRect(on); }
    int captionAlign() const { return m_model.captionAlign(); }
    void setCaptionAlign(int a) { m_model.setCaptionAlign(a); }
    int pictureAlign() const { return m_model.pictureAlign(); }
    void setPictureAlign(int a) { m_model.setPictureAlign(a); }
    int mousePointer() const { return m_model.mousePointer(); }
    void setMousePointer(int shape);
    bool displayAsDefault() const { return m_model.displayAsDefault(); }
    void setDisplayAsDefault(bool on) { m_model.setDisplayAsDefault(on); }
    // The face colour while the mouse is over the button, pressed or checked (style 7); nothing
    // for the built-in looks.
    void setRolloverColor(std::optional<uint> c) { m_model.setRolloverColor(c); }
    std::optional<uint> rolloverColor() const { return m_model.rolloverColor(); }
    void setButtonFont(const FontSpec& f) { m_model.setFont(f); updateGeometry(); }
    void setPicture(const QImage& image) { m_model.setPicture(pictureFromQImage(image)); }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // What the caption and picture need, without the usual minimum of a push button.
    QSize contentSize() const;
    // Whether the keyboard focus is shown (a frame in the caption's colour).
    bool focusFrameShown() const { return hasFocus() && focusVisible(); }

signals:
    void Click();
    void DblClick();
    void MouseEnter();
    void MouseLeave();
    void MouseMove(int button, int shift, float x, float y);
    void MouseUp(int button, int shift, float x, float y);
    void MouseDown(int button, int shift, float x, float y);
    void KeyDown(int keyCode, int shift);
    void KeyUp(int keyCode, int shift);

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void showEvent(QShowEvent*) override;
    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void changeEvent(QEvent*) override;
    Announced announcement() const override;
    void keyPressed(QKeyEvent* e, int keyCode, int shift) override;
    void keyReleased(int keyCode, int shift) override;
    bool usesKey(int key) const override;
    void focusChanged(bool in) override;
    void doubleClicked(bool pressDelivered) override;

private:
    class Bridge;
    friend class Bridge;
    static Picture pictureFromQImage(const QImage& image);
    void reshape();

    void updateShortcut() { setAccessKey(m_model.accessKey()); }
    void applyPointer();

    std::unique_ptr<Bridge> m_bridge;
    MultibuttonModel m_model;
};

} // namespace sonaveil::controls
