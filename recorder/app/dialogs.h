#pragma once

#include "recorder/core/dialogs.h"

#include <QStringList>

namespace sonaveil::recorder {

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
