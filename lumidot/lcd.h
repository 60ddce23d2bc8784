#pragma once

#include "lumidot/export.h"
#include "lumidot/types.h"

#include <QImage>
#include <QPointF>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <array>
#include <memory>
#include <optional>
#include <string_view>

class QMenu;
class QAction;

namespace sonaveil {
class PropertyBag;
}

namespace sonaveil::lumidot {

class DisplayModel;

// The dot-matrix display control: 1 to 4 lines of 1 to 80 characters of 5 x 7 dots. It keeps
// the size its rows, columns, dots and spacing give; a host cannot resize it.
class LUMIDOT_EXPORT LCD : public QWidget {
    Q_OBJECT
    // The pages a designer shows for the control, in order.
    Q_CLASSINFO("PropertyPages", "General;StandardColor;StandardPicture")
    Q_PROPERTY(uint ColorLCDon READ ColorLCDon WRITE setColorLCDon)
    Q_PROPERTY(bool BorderStyle READ BorderStyle WRITE setBorderStyle)
    Q_PROPERTY(uint ColorBacklight READ ColorBacklight WRITE setColorBacklight)
    Q_PROPERTY(uint ColorLCDoff READ ColorLCDoff WRITE setColorLCDoff)
    Q_PROPERTY(int DisplayType READ DisplayType WRITE setDisplayType)
    Q_PROPERTY(QImage LCDoffPicture READ LCDoffPicture WRITE setLCDoffPicture)
    Q_PROPERTY(QImage LCDonPicture READ LCDonPicture WRITE setLCDonPicture)
    Q_PROPERTY(int LCDRow READ LCDRow WRITE setLCDRow)
    Q_PROPERTY(int LCDCol READ LCDCol WRITE setLCDCol)
    Q_PROPERTY(int ColorPresetPalette READ ColorPresetPalette WRITE setColorPresetPalette)
    Q_PROPERTY(int RowBorderSize READ RowBorderSize WRITE setRowBorderSize)
    Q_PROPERTY(int ColBorderSize READ ColBorderSize WRITE setColBorderSize)
    Q_PROPERTY(int Rowspace READ Rowspace WRITE setRowspace)
    Q_PROPERTY(int Colspace READ Colspace WRITE setColspace)
    Q_PROPERTY(int PaletteMode READ PaletteMode WRITE setPaletteMode)
    Q_PROPERTY(QImage Palette READ Palette WRITE setPalette)
    Q_PROPERTY(uint ColorBlend READ ColorBlend WRITE setColorBlend)
    Q_PROPERTY(bool AutoBlend READ AutoBlend WRITE setAutoBlend)
    Q_PROPERTY(int OLEDropMode READ OLEDropMode WRITE setOLEDropMode)
    Q_PROPERTY(QImage Picture READ Picture WRITE setPicture)

public:
    // A new control with the default properties (4 x 20, Normal dots, LCD_Green).
    explicit LCD(QWidget* parent = nullptr);
    ~LCD() override;

    // Rebuilds the glyph sheet from DisplayType and the colours.
    Q_INVOKABLE void LoadColorPallete();
    // Stops all animations, empties all lines and redraws.
    Q_INVOKABLE void CLS();
    // Text of a line 1..4; empty for other numbers. During an animation, the frame shown.
    Q_INVOKABLE QString GetDisplay(int LineNumber) const;
    Q_INVOKABLE void SetAni_Animation(int LineNumber, int Animation);
    Q_INVOKABLE void SetAni_SkipSpace(int LineNumber, bool Setting);
    // Sets Number of times animation is repeated. 0=once, -1=infinite
    Q_INVOKABLE void SetAni_LoopCount(int LineNumber, int Count);
    // Returns the timing used: values below 1 become 1.
    Q_INVOKABLE int SetAni_Timing(int LineNumber, int Timing_In_ms);
    Q_INVOKABLE void SetAni_Text(int LineNumber, const QString& Text);
    Q_INVOKABLE void SetAni_RightToLeft(int LineNumber, bool Setting);
    // All options of a line's animation at once (timing below 1 becomes 1, a loop count below
    // -1 becomes 0; the used values come back through the pointers when given).
    void SetAnimationOpts(int LineNumber, int Animation, int Timing_In_ms, bool RightToLeft, bool SkipSpace,
                          int LoopCount, int* usedTiming = nullptr, int* usedLoopCount = nullptr);
    // Set/Display one line of the display.
    Q_INVOKABLE void SetDisplay(int LineNumber, const QString& Text);
    // Sets the animation text of a line and starts it.
    Q_INVOKABLE void SetAnimation(int LineNumber, const QString& Text);
    // Starts one line (1..4) or every armed line (0).
    Q_INVOKABLE void StartAnimation(int LineNumber);
    // Stops one line (1..4) or all (0); the line keeps its frame.
    Q_INVOKABLE void StopAnimation(int LineNumber);
    // Spreads one text over the lines, LCDCol characters each; a line feed starts a new line.
    Q_INVOKABLE void WrapDisplay(const QString& Text);
    // Forces a complete repaint of the display (and stops all animations).
    Q_INVOKABLE void Refresh();

    uint ColorLCDon() const;
    void setColorLCDon(uint color);
    bool BorderStyle() const;
    void setBorderStyle(bool on);
    uint ColorBacklight() const;
    void setColorBacklight(uint color);
    uint ColorLCDoff() const;
    void setColorLCDoff(uint color);
    // Returns/sets display pixel size. [range: normal, small, large, custom]
    int DisplayType() const;
    void setDisplayType(int type);
    QImage LCDoffPicture() const;
    void setLCDoffPicture(const QImage& picture);
    QImage LCDonPicture() const;
    void setLCDonPicture(const QImage& picture);
    // Number of rows (Lines). [range: 1 to 4]
    int LCDRow() const;
    void setLCDRow(int rows);
    // Number of columns (characters across). [range: 1 to 80]
    int LCDCol() const;
    void setLCDCol(int cols);
    int ColorPresetPalette() const;
    void setColorPresetPalette(int preset);
    // Pixels above the first row and below the last.
    int RowBorderSize() const;
    void setRowBorderSize(int value);
    // Pixels left of the first column and right of the last.
    int ColBorderSize() const;
    void setColBorderSize(int value);
    // Amount of space between each row.
    int Rowspace() const;
    void setRowspace(int value);
    // Amount of space between each column.
    int Colspace() const;
    void setColspace(int value);
    int PaletteMode() const;
    void setPaletteMode(int mode);
    QImage Palette() const;
    void setPalette(const QImage& palette);
    using QWidget::setPalette;
    // Color between the ColorLCDon. Gives a smoothing effect.
    uint ColorBlend() const;
    void setColorBlend(uint color);
    // Enable/Disable the uses of ColorBlend value.
    bool AutoBlend() const;
    void setAutoBlend(bool on);
    // 0 no drops, 1 drops are reported through OLEDragOver and OLEDragDrop.
    int OLEDropMode() const;
    void setOLEDropMode(int mode);
    // Background picture drawn under the cells.
    QImage Picture() const;
    void setPicture(const QImage& picture);

    // Starts a drag with the control as its source (the visible lines as text).
    void OLEDrag();
    // Shows a host's menu at the control: at (X, y) in control pixels, else at the pointer.
    void PopupMenu(QMenu* Menu, int Flags = 0, std::optional<QPointF> at = std::nullopt,
                   QAction* DefaultMenu = nullptr);

    // Persistence through the host's property store.
    void writeProperties(PropertyBag& bag) const;
    void readProperties(const PropertyBag& bag);

    // The model behind the widget, for hosts and tests that look at the drawn image.
    const DisplayModel& model() const { return *m_model; }
    // The image as shown, frame included.
    QImage image() const;
    // The lines as shown (each cut to LCDCol characters, trailing blanks dropped), one per line,
    // as a screen reader reads them.
    QString visibleText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void SizeChanged();
    void ColorChanged(int Value, uint Color);
    void OLEDragDrop(float X, float Y);
    void OLEDragOver(float X, float Y, int State);
    void OLEGiveFeedback(int Effect);
    void OLESetData();
    void OLEStartDrag();
    void OLECompleteDrag(int Effect);
    void Click();
    void DblClick();
    void KeyUp(int KeyCode, int Shift);
    void KeyPress(int KeyAscii);
    void KeyDown(int KeyCode, int Shift);
    void MouseUp(int Button, int Shift, float X, float Y);
    void MouseMove(int Button, int Shift, float X, float Y);
    void MouseDown(int Button, int Shift, float X, float Y);
    void AnimationComplete(int LineNumber);
    // A persisted property changed and must be saved.
    void propertyChanged(const QString& name);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    class Bridge;
    std::unique_ptr<DisplayModel> m_model;
    std::unique_ptr<Bridge> m_bridge;
    void announceText();

    std::array<QTimer, 4> m_timers;
    bool m_pressed = false;
    QString m_announcedText;
};

// Creates a control by its identifier; "Dotrix.LCD" (in any case) gives an LCD, read from
// `stored` when given. Unknown identifiers give nullptr.
LUMIDOT_EXPORT QWidget* createControl(std::string_view identifier, QWidget* parent = nullptr,
                                      const PropertyBag* stored = nullptr);

} // namespace sonaveil::lumidot
