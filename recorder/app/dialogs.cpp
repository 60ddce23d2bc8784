#include "recorder/app/dialogs.h"

#include "platform/dialogpaths.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>

namespace sonaveil::recorder {

QStringList QtDialogs::qtFilters(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString patterns = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
        // A description that already shows its patterns ("Wav Files (*.wav)") is not given them twice.
        const QString shown = QLatin1Char('(') + patterns + QLatin1Char(')');
        filters << (parts[i].endsWith(shown) ? parts[i] : QStringLiteral("%1 %2").arg(parts[i], shown));
    }
    return filters;
}

QString QtDialogs::lines(const QString& text)
{
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t;
}

namespace {

// The file dialog reads a typed name with a double quote as a list of quoted names and keeps
// only a part of it; such a name is refused with a word of why, and the dialog stays open.
class NameDialog : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    void accept() override
    {
        const auto* name = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (acceptMode() == AcceptSave && name && name->text().contains(QLatin1Char('"'))) {
            QMessageBox box(QMessageBox::Information, windowTitle(),
                            QCoreApplication::translate("sonaveil::recorder::QtDialogs",
                                                        "A file name cannot contain the character \". "
                                                        "Please choose another name."),
                            QMessageBox::Ok, this);
            box.exec();
            return;
        }
        QFileDialog::accept();
    }
};

QString run(QWidget* owner, const FileRequest& r, QFileDialog::AcceptMode mode)
{
    NameDialog d(owner, r.title, platform::dialogPath(r.folder));
    d.setAcceptMode(mode);
    d.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    d.setNameFilters(QtDialogs::qtFilters(r.filter));
    d.setOption(QFileDialog::ReadOnly, false);
    // The recorder asks its own question about an existing file (it appends to it).
    d.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (!r.defaultSuffix.isEmpty())
        d.setDefaultSuffix(r.defaultSuffix);
    if (!r.fileName.isEmpty())
        d.selectFile(platform::dialogPath(r.fileName));
    if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty())
        return {};
    return platform::fromDialogPath(d.selectedFiles().constFirst());
}

QMessageBox::Icon qtIcon(Dialogs::Icon icon)
{
    switch (icon) {
    case Dialogs::Icon::Information: return QMessageBox::Information;
    case Dialogs::Icon::Critical: return QMessageBox::Critical;
    case Dialogs::Icon::Question: return QMessageBox::Question;
    default: return QMessageBox::NoIcon;
    }
}

} // namespace

QString QtDialogs::saveFileName(QWidget* owner, const FileRequest& request)
{
    return run(owner, request, QFileDialog::AcceptSave);
}

QString QtDialogs::openFileName(QWidget* owner, const FileRequest& request)
{
    return run(owner, request, QFileDialog::AcceptOpen);
}

void QtDialogs::message(QWidget* owner, Icon icon, const QString& title, const QString& text)
{
    QMessageBox box(qtIcon(icon), title, lines(text), QMessageBox::Ok, owner);
    box.exec();
}

bool QtDialogs::question(QWidget* owner, Icon icon, const QString& title, const QString& text)
{
    QMessageBox box(qtIcon(icon), title, lines(text), QMessageBox::Yes | QMessageBox::No, owner);
    return box.exec() == QMessageBox::Yes;
}

} // namespace sonaveil::recorder
