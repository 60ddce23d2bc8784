#pragma once

#include "platform/autostart.h"
#include "platform/fakesystemvolume.h"
#include "platform/launcher.h"
#include "player/app/dialogs.h"
#include "player/app/player.h"
#include "player/app/presetactions.h"
#include "player/app/tray.h"
#include "tempfolder.h"
#include "testutil.h"

#include <QString>

#include <deque>
#include <functional>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Answers the player's dialogs from queues and remembers what was asked.
class FakeDialogs : public sonaveil::player::Dialogs {
public:
    QString saveFileName(QWidget*, const sonaveil::player::FileRequest& r) override
    {
        requests.push_back(r);
        return pop(files);
    }
    QString openFileName(QWidget*, const sonaveil::player::FileRequest& r) override
    {
        requests.push_back(r);
        return pop(files);
    }
    std::optional<QString> inputText(QWidget*, const QString& title, const QString& prompt, const QString&) override
    {
        prompts.push_back(title + "|" + prompt);
        return next(inputs).value_or(std::nullopt);
    }
    void information(QWidget*, const QString& title, const QString& text) override
    {
        messages.push_back(title + "|" + text);
        if (whileInformationShows)
            whileInformationShows();
    }
    std::optional<QColor> colour(QWidget*, const QString& title, const QColor& initial) override
    {
        colourRequests.push_back(title + "|" + initial.name());
        return next(colours).value_or(std::nullopt);
    }
    bool question(QWidget*, const QString& title, const QString& text) override
    {
        questions.push_back(title + "|" + text);
        return next(answers).value_or(false);
    }
    QString folderName(QWidget*, const QString& title, const QString&) override
    {
        prompts.push_back(title);
        return pop(folders);
    }
    void message(QWidget*, const QString& title, const QString& text) override
    {
        plainMessages.push_back(title + "|" + text);
    }
    void notice(QWidget*, const QString& title, const QString& text, const QString& actionText,
                std::function<void()> action) override
    {
        notices.push_back(title + "|" + text + (actionText.isEmpty() ? QString() : "|" + actionText));
        noticeActions.push_back(std::move(action));
    }
    void closingNotice(const QString& title, const QString& text) override
    {
        closingNotices.push_back(title + "|" + text);
    }

    // Runs where a real message box would run its own event loop.
    std::function<void()> whileInformationShows;
    std::deque<QString> files;                  // "" answers Cancel
    std::deque<QString> folders;                // "" answers Cancel
    std::deque<std::optional<QString>> inputs;  // nullopt answers Cancel
    std::vector<sonaveil::player::FileRequest> requests;
    std::vector<QString> prompts;
    std::vector<QString> messages;
    std::deque<std::optional<QColor>> colours; // nullopt answers Cancel
    std::deque<bool> answers;                   // Yes / No; No when empty
    std::vector<QString> colourRequests;
    std::vector<QString> questions;
    std::vector<QString> plainMessages;         // messages without an icon
    std::vector<QString> notices;               // messages that do not wait, with their button
    std::vector<std::function<void()>> noticeActions;
    std::vector<QString> closingNotices;        // told while the program ends

private:
    // The next scripted answer, taken from the queue; nothing when none is left.
    template <class T>
    static std::optional<T> next(std::deque<T>& q)
    {
        if (q.empty())
            return std::nullopt;
        T v = std::move(q.front());
        q.pop_front();
        return v;
    }
    static QString pop(std::deque<QString>& q) { return next(q).value_or(QString()); }
};

// The player window tests' set-up: a temporary program folder with the built samples and an empty "saves", and a player in it.
class PlayerFixture {
public:
    PlayerFixture();
    ~PlayerFixture();

    // A new player in the folder (the old one, if any, closes first); runs the start-up sequence.
    sonaveil::player::Player& start(std::optional<bool> trayAvailable = false);
    // Closes the player as the Close button does.
    void close();

    std::filesystem::path file(const std::string& name) const { return folder.path() / name; }
    QString prog() const { return QString::fromStdString(folder.path().string()); }
    std::string read(const std::string& name) const;
    void write(const std::string& name, const std::string& bytes) const;

    TempFolder folder;
    TempFolder home;
    FakeDialogs dialogs;
    sonaveil::platform::FakeLauncher launcher;
    std::unique_ptr<sonaveil::platform::XdgAutostart> autostart;
    sonaveil::platform::FakeSystemVolume* systemVolume = nullptr;
    // The program's own path for the next start; prog() + "/quietdeck" when empty.
    std::optional<QString> programPath;
    // The night's clock for the next start; the system's when empty.
    std::optional<sonaveil::player::NightClock> nightClock;
    std::unique_ptr<sonaveil::player::Player> player;
};

// The folder the test program writes its pictures to.
QString pictureFolder();

// Runs the event loop until every sound switched on has its voice: live sounds start once the
// model's worker has made their generators. False when one still has none after 10 s.
bool voicesStarted(sonaveil::player::Player& player);

// Clicks the middle of a widget, as the user does; a missing widget fails the test.
void click(QWidget* widget);
// A line 1 … 4 of the main window's status display.
QString line(sonaveil::player::Player& player, int number);

