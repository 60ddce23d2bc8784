#pragma once

#include <QObject>
#include <QProcess>
#include <QString>

#include <deque>

namespace sonaveil::recorder {

// Runs the converter (program folder's "conver SOURCE TARGET") in the background, one
// conversion at a time; conversions asked for meanwhile wait their turn. Success means: exit
// status 0 and a target that exists and is not empty.
class Mp3Converter : public QObject {
    Q_OBJECT
public:
    explicit Mp3Converter(const QString& converterPath, QObject* parent = nullptr);

    // Starts converting, or queues the conversion while another runs; `tag` comes back with
    // finished(). False (with finished() already emitted as a failure) when the converter
    // cannot be started.
    bool start(const QString& source, const QString& target, int tag = 0);
    bool running() const { return m_process.state() != QProcess::NotRunning; }
    QString source() const { return m_source; }
    QString target() const { return m_target; }
    // Waits for the running conversion to end (used when the program closes).
    bool waitForFinished(int ms);
    // Whether two paths name one file: the same resolved path, or the same file by identity
    // (a hard link). A path that does not exist names no file yet.
    static bool sameFile(const QString& a, const QString& b);

signals:
    // Percent of the source converted so far.
    void progress(int percent);
    // `error` is the converter's one-line message, or why it could not run.
    void finished(bool ok, const QString& source, const QString& target, const QString& error, int tag);

private:
    void onFinished(int exitCode, QProcess::ExitStatus status);
    void onOutput();

    struct Job {
        QString source;
        QString target;
        int tag = 0;
    };
    bool launch(const Job& job);
    void next();

    QString m_program;
    std::deque<Job> m_waiting;
    int m_tag = 0;
    QProcess m_process;
    QString m_source;
    QString m_target;
};

} // namespace sonaveil::recorder
