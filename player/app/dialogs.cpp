#include "player/app/dialogs.h"

#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace sonaveil::player {

QString QtDialogs::qtFilter(const QString& filter)
{
    const QStringList parts = filter.split('|');
    if (parts.size() < 2)
        return filter;
    QString description = parts.at(0).trimmed();
    const QString pattern = parts.at(1).trimmed();
    if (!description.contains('('))
        description += " (" + pattern + ")";
    return description;
}

namespace {

QString startPath(const FileRequest& r)
{
    if (r.fileName.isEmpty())
        return r.folder;
    if (QDir::isAbsolutePath(r.fileName))
        return r.fileName;
    return QDir(r.folder).filePath(r.fileName);
}

} // namespace

QString QtDialogs::saveFileName(QWidget* owner, const FileRequest& request)
{
    return QFileDialog::getSaveFileName(owner, request.title, startPath(request), qtFilter(request.filter));
}

QString QtDialogs::openFileName(QWidget* owner, const FileRequest& request)
{
    return QFileDialog::getOpenFileName(owner, request.title, startPath(request), qtFilter(request.filter));
}

std::optional<QString> QtDialogs::inputText(QWidget* owner, const QString& title, const QString& prompt,
                                            const QString& initial)
{
    bool ok = false;
    const QString text = QInputDialog::getText(owner, title, prompt, QLineEdit::Normal, initial, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

void QtDialogs::information(QWidget* owner, const QString& title, const QString& text)
{
    QMessageBox::information(owner, title, text, QMessageBox::Ok);
}

std::optional<QColor> QtDialogs::colour(QWidget* owner, const QString& title, const QColor& initial)
{
    const QColor chosen = QColorDialog::getColor(initial, owner, title);
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}

bool QtDialogs::question(QWidget* owner, const QString& title, const QString& text)
{
    return QMessageBox::question(owner, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
           == QMessageBox::Yes;
}

void QtDialogs::message(QWidget* owner, const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, owner);
    box.exec();
}

} // namespace sonaveil::player
