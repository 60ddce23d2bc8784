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

// The recorder's modal dialogs, behind one interface so that tests can answer them.
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

// QFileDialog and QMessageBox.
class QtDialogs : public Dialogs {
public:
    QString saveFileName(QWidget* owner, const FileRequest& request) override;
    QString openFileName(QWidget* owner, const FileRequest& request) override;
    void message(QWidget* owner, Icon icon, const QString& title, const QString& text) override;
    bool question(QWidget* owner, Icon icon, const QString& title, const QString& text) override;

    // "Wave Files|*.wav" as a Qt name filter list.
    static QStringList qtFilters(const QString& filter);
    // CR LF and lone CR as line feeds.
    static QString lines(const QString& text);
};

} // namespace sonaveil::recorder
