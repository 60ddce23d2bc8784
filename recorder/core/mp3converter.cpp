#include "recorder/core/mp3converter.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace sonaveil::recorder {

Mp3Converter::Mp3Converter(const QString& converterPath, QObject* parent)
    : QObject(parent), m_program(converterPath)
{
    connect(&m_process, &QProcess::finished, this, &Mp3Converter::onFinished);
    connect(&m_process, &QProcess::readyReadStandardOutput, this, &Mp3Converter::onOutput);
    connect(&m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart) {
            emit finished(false, m_source, m_target,
                          tr("The converter \"%1\" could not be started.").arg(m_program), m_tag);
            next();
        }
    });
}

bool Mp3Converter::start(const QString& source, const QString& target, int tag)
{
    if (running()) {
        m_waiting.push_back({source, target, tag});
        return true;
    }
    return launch({source, target, tag});
}

bool Mp3Converter::sameFile(const QString& a, const QString& b)
{
    const QString canonicalA = QFileInfo(a).canonicalFilePath();
    if (!canonicalA.isEmpty() && canonicalA == QFileInfo(b).canonicalFilePath())
        return true;
    struct stat sa {}, sb {};
    return ::stat(QFile::encodeName(a).constData(), &sa) == 0 && ::stat(QFile::encodeName(b).constData(), &sb) == 0
        && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool Mp3Converter::launch(const Job& job)
{
    m_source = job.source;
    m_target = job.target;
    m_tag = job.tag;
    // The recording is never its own MP3: writing it would destroy the only copy.
    if (sameFile(m_source, m_target)) {
        emit finished(false, m_source, m_target,
                      tr("The MP3 would replace the recording itself."), m_tag);
        return false;
    }
    const QFileInfo program(m_program);
    if (!program.isFile() || !program.isExecutable()) {
        emit finished(false, m_source, m_target, tr("The converter \"%1\" is missing.").arg(m_program), m_tag);
        return false;
    }
    // An argument list: paths with blanks pass as they are, no shell sees them.
    m_process.start(m_program, {m_source, m_target});
    return true;
}

void Mp3Converter::next()
{
    while (!m_waiting.empty() && !running()) {
        const Job job = m_waiting.front();
        m_waiting.pop_front();
        launch(job);
    }
}

bool Mp3Converter::waitForFinished(int ms)
{
    // The queue is worked off here too: the program is about to end.
    while (running()) {
        if (!m_process.waitForFinished(ms))
            return false;
        QCoreApplication::sendPostedEvents(this);
    }
    return true;
}

void Mp3Converter::onOutput()
{
    while (m_process.canReadLine()) {
        const QByteArray line = m_process.readLine().trimmed();
        if (line.endsWith('%'))
            emit progress(line.chopped(1).toInt());
    }
}

void Mp3Converter::onFinished(int exitCode, QProcess::ExitStatus status)
{
    const QFileInfo mp3(m_target);
    const bool ok = status == QProcess::NormalExit && exitCode == 0 && mp3.isFile() && mp3.size() > 0;
    QString error;
    if (!ok) {
        error = QString::fromLocal8Bit(m_process.readAllStandardError()).trimmed();
        const int newline = error.indexOf(QLatin1Char('\n'));
        if (newline >= 0)
            error = error.left(newline);
        if (error.startsWith(QLatin1String("conver: ")))
            error = error.mid(8);
        if (error.isEmpty())
            error = status == QProcess::NormalExit ? tr("The converter produced no MP3.")
                                                   : tr("The converter stopped unexpectedly.");
    }
    emit finished(ok, m_source, m_target, error, m_tag);
    next();
}

} // namespace sonaveil::recorder
