#pragma once

#include <QObject>
#include <QProcess>
#include <QString>

namespace sonaveil::recorder {

// Runs the converter (program folder's "conver SOURCE TARGET") in the background, one
// conversion at a time. Success means: exit status 0 and a target that exists and is not empty.
class Mp3Converter : public QObject {
    Q_OBJECT
public:
    explicit Mp3Converter(const QString& converterPath, QObject* parent = nullptr);

    // Starts converting; false (with finished() already emitted as a failure) when the
    // converter cannot be started or another conversion runs.
    bool start(const QString& source, const QString& target);
    bool running() const { return m_process.state() != QProcess::NotRunning; }
    QString source() const { return m_source; }
    QString target() const { return m_target; }
    // Waits for the running conversion to end (used when the program closes).
    bool waitForFinished(int ms);

signals:
    // Percent of the source converted so far.
    void progress(int percent);
    // `error` is the converter's one-line message, or why it could not run.
    void finished(bool ok, const QString& source, const QString& target, const QString& error);

private:
    void onFinished(int exitCode, QProcess::ExitStatus status);
    void onOutput();

    QString m_program;
    QProcess m_process;
    QString m_source;
    QString m_target;
};

} // namespace sonaveil::recorder
