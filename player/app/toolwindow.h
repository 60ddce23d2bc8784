#pragma once

#include "player/app/borderlesswindow.h"

class QLabel;
class QVBoxLayout;

namespace sonaveil::player {

// A window of the player that lives from start-up to shutdown and comes when asked (options,
// alarm, equaliser, pitch match): light text, its title over one column, its buttons by name.
// The first show centres it on the screen; Escape and Close only hide it.
class ToolWindow : public BorderlessWindow {
    Q_OBJECT
public:
    // The light text of the player's windows, for any widget on them.
    static void lightText(QWidget* widget);
    // A label in light text, `pointDelta` points larger and bold when asked.
    static QLabel* lightLabel(const QString& text, QWidget* parent, int pointDelta = 0, bool bold = false);

protected:
    // `name` is the window's object name, `title` its caption and the heading over the column.
    ToolWindow(const QString& name, const QString& title, QWidget* parent);

    QVBoxLayout* column() const { return m_column; }

    void closeEvent(QCloseEvent*) override;
    void keyPressEvent(QKeyEvent*) override;
    void showEvent(QShowEvent*) override;

private:
    QVBoxLayout* m_column = nullptr;
    bool m_placed = false;
};

} // namespace sonaveil::player
