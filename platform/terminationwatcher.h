#pragma once

#include <QObject>

class QSocketNotifier;

namespace sonaveil::platform {

// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal on the interface thread. The handler only writes
// the signal's number to a pipe; the notifier reads it in the event loop.
class TerminationWatcher : public QObject {
    Q_OBJECT
public:
    explicit TerminationWatcher(QObject* parent = nullptr);
    ~TerminationWatcher() override;
    bool installed() const { return m_notifier != nullptr; }

signals:
    void terminationRequested(int signalNumber);

private:
    void readPipe();
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace sonaveil::platform
