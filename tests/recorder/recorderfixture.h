#pragma once

#include "recorder/app/frmmain.h"

#include "recorderservices.h"

#include <memory>

// The recorder's main window on the test's services, started and shown.
class RecorderTest : public RecorderServicesTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // A new window on the same program folder and store, started.
    sonaveil::recorder::FRMMAIN& open();
    // Runs the Close button's path and waits until the window has finished.
    void closeWindow();

    QString line(int display, int number) const;
    template <class T>
    T* child(const char* name) const
    {
        return window->findChild<T*>(QString::fromLatin1(name));
    }
    // Saves a PNG of `w` when SONAVEIL_PNG_DIR names a folder.
    static void picture(QWidget* w, const QString& name);

    std::unique_ptr<sonaveil::recorder::FRMMAIN> window;
    bool finished = false;
};
