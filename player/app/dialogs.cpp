#include "player/app/dialogs.h"

#include "platform/dialogpaths.h"

#include <QColorDialog>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QMessageBox>
#include <QPushButton>

#include <cstdio>

namespace sonaveil::player {

QString QtDialogs::qtFilter(const QString& filter)
{
    const QStringList parts = filter.split('|');
    if (parts.size() < 2)
        return filter;
    // Qt takes the patterns from the parentheses and splits them at blanks only, so a description
    // such as "Samples (*.wav, *.mp3)" would match nothing: the parentheses get the real patterns.
    QString description = parts.at(0).trimmed();
    const int open = description.lastIndexOf('(');
    if (open > 0 && description.endsWith(')'))
        description = description.left(open).trimmed();
    QStringList patterns;
    for (const QString& p : parts.at(1).split(';', Qt::SkipEmptyParts))
        if (!p.trimmed().isEmpty())
            patterns << p.trimmed();
    return description + " (" + patterns.join(' ') + ")";
}

namespace {

QString startPath(const FileRequest& r)
{
    if (r.fileName.isEmpty())
        return platform::dialogPath(r.folder);
    if (QDir::isAbsolutePath(r.fileName))
        return platform::dialogPath(r.fileName);
    return platform::dialogPath(QDir(r.folder).filePath(r.fileName));
}

} // namespace

QString QtDialogs::saveFileName(QWidget* owner, const FileRequest& request)
{
    QFileDialog dialog(owner, request.title, startPath(request), qtFilter(request.filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    for (;;) {
        if (dialog.exec() != QDialog::Accepted)
            return {};
        // Qt's own dialog reads a name with double quotes as a list of quoted names and keeps
        // a part of it: such a name is refused, and the dialog comes back with it to mend.
        const auto* typed = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (!typed || !typed->text().contains(u'"'))
            return platform::fromDialogPath(dialog.selectedFiles().value(0));
        QMessageBox::information(&dialog, request.title,
                                 QCoreApplication::translate("sonaveil::player::Dialogs",
                                                             "A file name cannot contain a double quote (\"). "
                                                             "Please type the name without it."));
    }
}

QString QtDialogs::openFileName(QWidget* owner, const FileRequest& request)
{
    return platform::fromDialogPath(
        QFileDialog::getOpenFileName(owner, request.title, startPath(request), qtFilter(request.filter)));
}

QString QtDialogs::folderName(QWidget* owner, const QString& title, const QString& folder)
{
    return platform::fromDialogPath(QFileDialog::getExistingDirectory(owner, title, platform::dialogPath(folder)));
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

void QtDialogs::notice(QWidget* owner, const QString& title, const QString& text, const QString& actionText,
                       std::function<void()> action)
{
    auto* box = new QMessageBox(QMessageBox::Information, title, text, QMessageBox::NoButton, owner);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->setWindowModality(Qt::NonModal);
    if (!actionText.isEmpty()) {
        QPushButton* button = box->addButton(actionText, QMessageBox::ActionRole);
        QObject::connect(button, &QPushButton::clicked, box, [action] {
            if (action)
                action();
        });
    }
    box->addButton(QMessageBox::Ok);
    box->show();
}

void QtDialogs::closingNotice(const QString& title, const QString& text)
{
    std::fprintf(stderr, "%s: %s\n", title.toLocal8Bit().constData(), text.toLocal8Bit().constData());
    // Fire and forget: no answer is awaited.
    QDBusMessage notify = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.Notifications"),
                                                         QStringLiteral("/org/freedesktop/Notifications"),
                                                         QStringLiteral("org.freedesktop.Notifications"),
                                                         QStringLiteral("Notify"));
    notify << title << quint32(0) << QStringLiteral("dialog-warning") << title << text << QStringList()
           << QVariantMap() << qint32(-1);
    notify.setAutoStartService(false);
    QDBusConnection::sessionBus().call(notify, QDBus::NoBlock);
}

} // namespace sonaveil::player
