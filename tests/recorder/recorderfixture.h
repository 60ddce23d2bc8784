#pragma once

#include "recorder/app/frmmain.h"
#include "recorder/capture/capturecontrol.h"

#include "platform/diskspace.h"
#include "platform/launcher.h"

#include "capturefixture.h"
#include "fakedialogs.h"
#include "tempfolder.h"

#include <QSettings>

#include <memory>

// A program folder of its own with the converter in it, a disk of 50 GB free, a settings store
// in the folder and the real capture control on the private sound server.
class RecorderTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A new window on the same program folder and store, started.
    sonaveil::recorder::FRMMAIN& open();
    // Runs the Close button's path and waits until the window has finished.
    void closeWindow();

    QString folder() const { return QString::fromStdString(m_folder.path().string()); }
    QString file(const QString& leaf) const { return folder() + "/" + leaf; }
    QString line(int display, int number) const;
    template <class T>
    T* child(const char* name) const
    {
        return window->findChild<T*>(QString::fromLatin1(name));
    }
    // Saves a PNG of `w` when SONAVEIL_PNG_DIR names a folder.
    static void picture(QWidget* w, const QString& name);

    TempFolder m_folder;
    FakeDialogs dialogs;
    sonaveil::platform::FakeLauncher launcher;
    sonaveil::platform::FakeDiskSpace disk;
    std::unique_ptr<QSettings> store;
    std::unique_ptr<sonaveil::recorder::CaptureControl> capture;
    std::unique_ptr<sonaveil::recorder::FRMMAIN> window;
    QStringList installed; // programs findProgram finds
    bool finished = false;
};
