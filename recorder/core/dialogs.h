#pragma once

#include <QString>

class QWidget;

namespace sonaveil::recorder {

// What a file dialog is asked for. `filter` is in the "Description|pattern|Description|pattern"
// form; the dialog shows the descriptions and matches the patterns.
struct FileRequest {
    QString title;
    QString folder;
    QString filter;
    QString fileName;
    QString defaultSuffix;
};

// The recorder's modal dialogs, behind one interface so that tests can answer them. `owner` is
// the window the dialog belongs to (may be null); the interface only passes it on.
class Dialogs {
public:
    enum class Icon { None, Information, Critical, Question };
    virtual ~Dialogs() = default;
    // The chosen file name, or "" when the user cancels.
    virtual QString saveFileName(QWidget* owner, const FileRequest& request) = 0;
    virtual QString openFileName(QWidget* owner, const FileRequest& request) = 0;
    // A message with an OK button. Line ends may be CR LF or a lone CR.
    virtual void message(QWidget* owner, Icon icon, const QString& title, const QString& text) = 0;
    // A Yes/No question; true for Yes.
    virtual bool question(QWidget* owner, Icon icon, const QString& title, const QString& text) = 0;
};

} // namespace sonaveil::recorder
