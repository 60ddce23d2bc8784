#include "recorderservices.h"

#include <QDir>

#include <filesystem>

using namespace sonaveil;
using recorder::FileRequest;

namespace {

template <class T>
T next(std::deque<T>& answers, T none)
{
    if (answers.empty())
        return none;
    T a = answers.front();
    answers.pop_front();
    return a;
}

} // namespace

QString FakeDialogs::saveFileName(QWidget*, const FileRequest& r)
{
    saveRequests.push_back(r);
    return next(saveAnswers, QString());
}

QString FakeDialogs::openFileName(QWidget*, const FileRequest& r)
{
    openRequests.push_back(r);
    return next(openAnswers, QString());
}

void FakeDialogs::message(QWidget*, Icon icon, const QString& title, const QString& text)
{
    messages.push_back({icon, title, text});
}

bool FakeDialogs::question(QWidget*, Icon icon, const QString& title, const QString& text)
{
    questions.push_back({icon, title, text});
    return next(questionAnswers, false);
}

void RecorderServicesTest::SetUp()
{
    if (!ToneServer::instance()->running())
        FAIL() << "the private pulseaudio did not start";
    QDir().mkpath(file("saved recordings"));
    std::filesystem::copy_file(CONVER, m_folder / "conver");
    disk.list = {{folder(), 100'000'000'000, 50'000'000'000, 51'000'000'000, true}};
    store = std::make_unique<QSettings>(file("recorder.ini"), QSettings::IniFormat);
}

recorder::RecorderSetup RecorderServicesTest::freshSetup()
{
    capture.reset();
    capture = std::make_unique<recorder::CaptureControl>();
    recorder::RecorderSetup setup;
    setup.programFolder = folder();
    setup.dialogs = &dialogs;
    setup.launcher = &launcher;
    setup.disk = &disk;
    setup.store = store.get();
    setup.capture = capture.get();
    setup.findProgram = [this](const QString& name) {
        return installed.contains(name) ? QStringLiteral("/usr/bin/") + name : QString();
    };
    setup.closeDelayMs = 0;
    return setup;
}
