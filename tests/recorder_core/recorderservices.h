#pragma once

#include "recorder/capture/capturecontrol.h"
#include "recorder/core/dialogs.h"
#include "recorder/core/recordersession.h"

#include "platform/diskspace.h"
#include "platform/launcher.h"

#include "capturefixture.h"
#include "tempfolder.h"

#include <QSettings>

#include <deque>
#include <memory>
#include <vector>

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

// What the recorder is set up with in a test: a program folder of its own with the converter in
// it, a disk of 50 GB free, a settings store in the folder, fake dialogs and launcher, and the
// real capture control on the private sound server.
class RecorderServicesTest : public ::testing::Test {
protected:
    // Skips the test without the private sound server.
    void SetUp() override;
    // A new capture control (the old one goes) and the set-up that hands it out, without the
    // close pause.
    sonaveil::recorder::RecorderSetup freshSetup();

    QString folder() const { return QString::fromStdString(m_folder.path().string()); }
    QString file(const QString& leaf) const { return folder() + "/" + leaf; }

    TempFolder m_folder;
    FakeDialogs dialogs;
    sonaveil::platform::FakeLauncher launcher;
    sonaveil::platform::FakeDiskSpace disk;
    std::unique_ptr<QSettings> store;
    std::unique_ptr<sonaveil::recorder::CaptureControl> capture;
    QStringList installed; // programs findProgram finds
};
