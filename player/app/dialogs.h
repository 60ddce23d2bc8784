#pragma once

#include <QColor>
#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace sonaveil::player {

// The title of the player's messages and questions.
inline constexpr const char* kMessageTitle = "Sonaveil";

// What a file dialog is asked for. `filter` is in the "Description|pattern" form the player's
// windows name it in; the dialog shows the description and matches the pattern.
struct FileRequest {
    QString title;
    QString folder;
    QString filter;
    QString fileName;
};

// The player's modal dialogs, behind one interface so that tests can answer them.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // The chosen file name, or "" when the user cancels.
    virtual QString saveFileName(QWidget* owner, const FileRequest& request) = 0;
    virtual QString openFileName(QWidget* owner, const FileRequest& request) = 0;
    // The typed text, or nothing for Cancel.
    virtual std::optional<QString> inputText(QWidget* owner, const QString& title, const QString& prompt,
                                             const QString& initial) = 0;
    // A message with the information icon and an OK button.
    virtual void information(QWidget* owner, const QString& title, const QString& text) = 0;
    // The colour dialog starting at `initial`: the chosen colour, or nothing for Cancel. Without
    // an override every question below answers Cancel (No) and a message shows nowhere.
    virtual std::optional<QColor> colour(QWidget* owner, const QString& title, const QColor& initial)
    {
        return std::nullopt;
    }
    // A folder to open, starting in `folder`; "" when the user cancels.
    virtual QString folderName(QWidget* owner, const QString& title, const QString& folder) { return {}; }
    // A question with Yes and No buttons: true for Yes.
    virtual bool question(QWidget* owner, const QString& title, const QString& text) { return false; }
    // A message with an OK button and no icon.
    virtual void message(QWidget* owner, const QString& title, const QString& text) {}
    // A message that does not wait for an answer: the program goes on while it shows. With an
    // `actionText`, it has a button of that caption that runs `action` (and closes it).
    virtual void notice(QWidget* owner, const QString& title, const QString& text, const QString& actionText = {},
                        std::function<void()> action = {})
    {
    }
    // A message while the program ends (the session may be ending too): it must outlive the
    // program and hold nothing up, so it goes to the desktop's notifications.
    virtual void closingNotice(const QString& title, const QString& text) {}
};

// QFileDialog, QInputDialog and QMessageBox.
class QtDialogs : public Dialogs {
public:
    QString saveFileName(QWidget* owner, const FileRequest& request) override;
    QString openFileName(QWidget* owner, const FileRequest& request) override;
    std::optional<QString> inputText(QWidget* owner, const QString& title, const QString& prompt,
                                     const QString& initial) override;
    void information(QWidget* owner, const QString& title, const QString& text) override;
    std::optional<QColor> colour(QWidget* owner, const QString& title, const QColor& initial) override;
    bool question(QWidget* owner, const QString& title, const QString& text) override;
    QString folderName(QWidget* owner, const QString& title, const QString& folder) override;
    void message(QWidget* owner, const QString& title, const QString& text) override;
    void notice(QWidget* owner, const QString& title, const QString& text, const QString& actionText,
                std::function<void()> action) override;
    void closingNotice(const QString& title, const QString& text) override;

    // "Sonaveil Files (*.svp)|*.svp" as a Qt name filter.
    static QString qtFilter(const QString& filter);
};

} // namespace sonaveil::player
