#pragma once

#include <QWidget>

class QCheckBox;

namespace sonaveil::recorder {

struct RecorderSetup;

// "Recording Help": points to the setup pages for the desktop's recording settings, and can be
// switched off for later uses of the Mix button.
class Form1 : public QWidget {
    Q_OBJECT
public:
    // `mainWindow` is brought to the front when the window closes.
    Form1(const RecorderSetup& setup, QWidget* mainWindow);

    QCheckBox* showInFuture() const { return m_check; }
    void on_Command1_Click();
    void on_Command2_Click();
    void on_cmdOK_Click();

private:
    const RecorderSetup& m_setup;
    QWidget* m_main;
    QCheckBox* m_check;
};

} // namespace sonaveil::recorder
