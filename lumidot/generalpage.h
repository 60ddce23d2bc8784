#pragma once

#include "lumidot/export.h"

#include <QList>
#include <QPointer>
#include <QWidget>

#include <functional>

class QCheckBox;
class QLineEdit;
class QToolButton;

namespace sonaveil::lumidot {

class LCD;

// The number at the start of a text (leading blanks skipped), 0 when there is none.
LUMIDOT_EXPORT double leadingNumber(const QString& text);

// The control's "General" property page: display size in characters, margins and spaces, frame.
// It works on the first control of the selection.
class LUMIDOT_EXPORT GeneralPage : public QWidget {
    Q_OBJECT
public:
    // Shows a message box; tests put their own in its place.
    using MessageHandler = std::function<void(const QString& title, const QString& text)>;

    explicit GeneralPage(QWidget* parent = nullptr);

    // Reads the fields from the first control of the selection.
    void setSelection(const QList<LCD*>& controls);
    // Writes the fields in range back to the first control of the selection.
    void apply();
    // Whether a field was edited since the selection was read or the page applied.
    bool isChanged() const { return m_changed; }
    void setMessageHandler(MessageHandler handler) { m_message = std::move(handler); }

signals:
    // A field was edited: the page has something to apply.
    void changed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void markChanged();
    void step(QLineEdit* field, double delta, double low, double high);
    void checkField(QLineEdit* field);

    QLineEdit* m_col;
    QLineEdit* m_row;
    QLineEdit* m_colBorder;
    QLineEdit* m_colSpace;
    QLineEdit* m_rowSpace;
    QLineEdit* m_rowBorder;
    QCheckBox* m_border;
    QList<QPointer<LCD>> m_selection;
    bool m_changed = false;
    bool m_loading = false;
    MessageHandler m_message;
};

} // namespace sonaveil::lumidot
