// The player's real dialogs, driven as the user drives them.
#include "player/app/dialogs.h"

#include "common/programfolder.h"
#include "tempfolder.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <vector>

using namespace sonaveil::player;

namespace {

// Answers the modal windows that come up, in turn, each step once its kind of window is up.
class ModalScript {
public:
    using Step = std::function<bool(QWidget* modal)>; // true once it has acted
    explicit ModalScript(std::vector<Step> steps)
        : m_steps(std::move(steps))
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (m_next < m_steps.size() && modal && modal->isVisible() && m_steps[m_next](modal))
                ++m_next;
        });
        m_timer.start(20);
    }
    std::size_t done() const { return m_next; }

private:
    std::vector<Step> m_steps;
    std::size_t m_next = 0;
    QTimer m_timer;
};

ModalScript::Step typeName(const QString& name)
{
    return [name](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        auto* edit = dialog ? dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")) : nullptr;
        if (!edit)
            return false;
        edit->setText(name);
        QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
        return true;
    };
}

} // namespace

TEST(QtDialogs, AFolderReachedThroughAHandleIsShownUnderAReadableName)
{
    TempFolder root;
    const std::filesystem::path odd = root / "Kl\xe4nge"; // not UTF-8
    std::filesystem::create_directories(odd / "saves");
    { std::ofstream(odd / "saves/Night.svp") << "night"; }
    const std::filesystem::path handle = sonaveil::ProgramFolder::reachable(odd);
    ASSERT_EQ(handle.string().rfind("/proc/self/fd/", 0), 0u) << handle;
    const QString saves = QString::fromStdString((handle / "saves").string());

    // Types the name and accepts until the dialog takes it; after 20 s it is closed, so that a
    // dialog that never takes it (it shows a folder that is not there) fails the test instead
    // of waiting for good.
    QString shownFolder;
    int tries = 0;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        auto* edit = dialog ? dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")) : nullptr;
        if (!edit)
            return;
        if (shownFolder.isEmpty())
            shownFolder = dialog->directory().absolutePath();
        if (++tries > 400) {
            dialog->reject();
            return;
        }
        edit->setText(QStringLiteral("Night.svp"));
        QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
    });
    answer.start(50);
    QtDialogs dialogs;
    const QString chosen = dialogs.openFileName(nullptr, {QStringLiteral("Load Preset"), saves,
                                                          QStringLiteral("Sonaveil Files (*.svp)|*.svp"), {}});
    EXPECT_LE(tries, 400) << "the dialog never took the file";
    EXPECT_FALSE(shownFolder.startsWith(QStringLiteral("/proc/"))) << shownFolder.toStdString();
    // Named after the folder ("Kl_nge", or "Kl_nge (2)" beside another folder of that name).
    EXPECT_TRUE(shownFolder.contains(QStringLiteral("/Kl_nge")) && shownFolder.endsWith(QStringLiteral("/saves")))
        << shownFolder.toStdString();
    EXPECT_EQ(chosen, saves + QStringLiteral("/Night.svp")) << "the answer is under the program's own name";
}

TEST(QtDialogs, ANameWithDoubleQuotesIsNeverSavedInPart)
{
    TempFolder folder;
    QString said;
    ModalScript script({typeName(QStringLiteral("My \"best\" night")),
                        [&](QWidget* modal) {
                            auto* box = qobject_cast<QMessageBox*>(modal);
                            if (!box)
                                return false;
                            said = box->text();
                            box->accept();
                            return true;
                        },
                        typeName(QStringLiteral("My best night"))});
    QtDialogs dialogs;
    const QString chosen = dialogs.saveFileName(nullptr, {QStringLiteral("Save Preset"),
                                                          QString::fromStdString(folder.path().string()),
                                                          QStringLiteral("Sonaveil Files (*.svp)|*.svp"), {}});
    EXPECT_EQ(script.done(), 3u);
    EXPECT_TRUE(said.contains(QStringLiteral("double quote"))) << said.toStdString();
    EXPECT_EQ(chosen, QString::fromStdString((folder.path() / "My best night").string()));
}
