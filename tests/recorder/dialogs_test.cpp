#include "recorder/app/dialogs.h"

#include "tempfolder.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using sonaveil::recorder::FileRequest;
using sonaveil::recorder::QtDialogs;

TEST(RecorderDialogs, FiltersShowEachPatternOnce)
{
    EXPECT_EQ(QtDialogs::qtFilters("Wave Files|*.wav"), QStringList{"Wave Files (*.wav)"});
    EXPECT_EQ(QtDialogs::qtFilters("Wav Files (*.wav)|*.wav|Wav Files (*.*)|*.*"),
              (QStringList{"Wav Files (*.wav)", "Wav Files (*.*)"}));
    EXPECT_EQ(QtDialogs::qtFilters("MP3 Files, recorded as WAV and converted at Stop|*.mp3;*.wav"),
              QStringList{"MP3 Files, recorded as WAV and converted at Stop (*.mp3 *.wav)"});
}

namespace {

// Waits in the event loop for the modal window `find` names; the dialogs under test run their
// own loops, so these steps run from timers inside them.
template <class T>
T* waitForModal(int timeoutMs = 20000)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < timeoutMs) {
        if (auto* w = qobject_cast<T*>(QApplication::activeModalWidget()))
            return w;
        QTest::qWait(20);
    }
    return nullptr;
}

void typeName(QFileDialog* dialog, const QString& name)
{
    auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit");
    ASSERT_NE(edit, nullptr);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, name);
    QTest::keyClick(edit, Qt::Key_Return);
}

} // namespace

TEST(RecorderDialogs, ANameWithADoubleQuoteIsRefusedWithAMessageAndNothingOfItIsLost)
{
    TempFolder folder;
    FileRequest request;
    request.title = "Save Sampled Audio";
    request.folder = QString::fromStdString(folder.path().string());
    request.filter = "Wave Files|*.wav";
    request.defaultSuffix = "wav";
    QString refusal;
    bool stillOpen = false;
    QTimer::singleShot(0, [&] {
        QFileDialog* dialog = waitForModal<QFileDialog>();
        ASSERT_NE(dialog, nullptr);
        QTimer::singleShot(0, [&, dialog] {
            QMessageBox* box = waitForModal<QMessageBox>();
            ASSERT_NE(box, nullptr);
            refusal = box->text();
            QTest::keyClick(box, Qt::Key_Return);
            QTimer::singleShot(0, [&, dialog] {
                stillOpen = dialog->isVisible();
                typeName(dialog, "take 1 of 2");
            });
        });
        typeName(dialog, "my \"best\" take");
    });
    const QString chosen = QtDialogs().saveFileName(nullptr, request);
    EXPECT_EQ(refusal, "A file name cannot contain the character \". Please choose another name.");
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(chosen, request.folder + "/take 1 of 2.wav");
}
