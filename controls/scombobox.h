#pragma once

#include "controls/focusframe.h"
#include "controls/scomboboxmodel.h"

#include <QPointer>
#include <QWidget>

class QLineEdit;
class QScrollBar;

namespace sonaveil::controls {

class SComboBox;

// The floating list of an open SComboBox: a frameless pop-up window that may reach beyond the
// host window, with its own scroll bar. A press outside it closes it.
class SComboBoxList : public QWidget {
    Q_OBJECT
public:
    explicit SComboBoxList(SComboBox* owner);
    QScrollBar* scrollBar() const { return m_scroll; }
    void sync();

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void wheelEvent(QWheelEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void keyPressEvent(QKeyEvent*) override;
    void hideEvent(QHideEvent*) override;

private:
    SComboBox* m_owner;
    QScrollBar* m_scroll;
    bool m_syncing = false;
};

// The drop-down list control: paints an SComboBoxModel, with an edit box for the text and a list
// that floats above the window while open.
class SComboBox : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Text READ text WRITE setText)
    Q_PROPERTY(int ListIndex READ listIndex WRITE setListIndex)
    Q_PROPERTY(int ListCount READ listCount)
    Q_PROPERTY(int AppearanceCombo READ appearanceCombo WRITE setAppearanceCombo)

public:
    explicit SComboBox(const QString& name = QStringLiteral("SComboBox1"), QWidget* parent = nullptr);
    ~SComboBox() override;

    SComboBoxModel& model() { return m_model; }
    QLineEdit* editBox() const { return m_edit; }
    SComboBoxList* listWindow() const { return m_list; }

    void AddItem(const QString& text, const SComboBoxModel::ItemData& data = SComboBoxModel::ItemData());
    void Clear() { m_model.Clear(); }
    int FindItemText(const QString& text, int compare) const { return m_model.FindItemText(text.toStdString(), compare); }
    QString text() const { return QString::fromStdString(m_model.Text()); }
    void setText(const QString& text) { m_model.setText(text.toStdString()); }
    int listIndex() { return m_model.ListIndex(); }
    void setListIndex(int index) { m_model.setListIndex(index); }
    int listCount() const { return m_model.ListCount(); }
    int appearanceCombo() const { return m_model.appearanceCombo(); }
    void setAppearanceCombo(int look) { m_model.setAppearanceCombo(look); }
    // Enables or disables the control with its look (QWidget::setEnabled does the same).
    void setEnabledState(bool on) { setEnabled(on); }
    // Applies property changes made directly on the model.
    void applyProperties();

    void readProperties(const PropertyBag& bag);
    void writeProperties(PropertyBag& bag) const;

    QSize sizeHint() const override;
    // Whether the keyboard focus is shown (a frame inside the outline in the text colour).
    bool focusFrameShown() const;
    // Keys that reach the open list: the list's own keys, everything else for the edit box.
    void listKey(QKeyEvent* key);
    static void paintOps(QPainter& p, const std::vector<ComboPaintOp>& ops);

signals:
    void SelectionMade(const QString& text, int index);
    void TotalItems(int count);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void keyPressEvent(QKeyEvent*) override;
    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;
    void focusInEvent(QFocusEvent*) override;
    void focusOutEvent(QFocusEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void moveEvent(QMoveEvent*) override;
    void changeEvent(QEvent*) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool handleKey(QKeyEvent* key);
    void placeList();
    void layoutEdit();
    void focusLeft(Qt::FocusReason reason);
    void focusArrived(Qt::FocusReason reason);
    // Tells a listening screen reader what changed since it was last told.
    void announceChanges();

    SComboBoxModel m_model;
    QLineEdit* m_edit;
    QPointer<SComboBoxList> m_list;
    int m_lastKey = 0;
    FocusFrame m_focus;
    QString m_announcedText;
    bool m_announcedOpen = false;
};

} // namespace sonaveil::controls
