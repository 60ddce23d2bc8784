#pragma once

#include "recorder/app/dialogs.h"
#include "recorder/app/frmmain.h"
#include "recorder/capture/capturecontrol.h"

#include "platform/diskspace.h"
#include "platform/launcher.h"

#include "capturefixture.h"
#include "tempfolder.h"

#include <QSettings>

#include <deque>
#include <memory>

// Answers the recorder's dialogs from queues and keeps what was shown.
class FakeDialogs : public sonaveil::recorder::Dialogs {
public:
    struct Shown {
        Icon icon;
        QString title;
        QString text;
    };
    QString saveFileName(QWidget*, const sonaveil::recorder::FileRequest& r) override;
    QString openFileName(QWidget*, const sonaveil::recorder::FileRequest& r) override;
    void message(QWidget*, Icon icon, const QString& title, const QString& text) override;
    bool question(QWidget*, Icon icon, const QString& title, const QString& text) override;

    std::deque<QString> saveAnswers; // "" (cancel) when empty
    std::deque<QString> openAnswers;
    std::deque<bool> questionAnswers; // No when empty
    std::vector<sonaveil::recorder::FileRequest> saveRequests;
    std::vector<sonaveil::recorder::FileRequest> openRequests;
    std::vector<Shown> messages;
    std::vector<Shown> questions;
};

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
