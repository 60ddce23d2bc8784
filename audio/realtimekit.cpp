#include "audio/realtimekit.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>

namespace sonaveil::audio {

bool askRealtimeKit(pid_t tid, int priority, int timeoutMs, std::string& why)
{
    if (!QCoreApplication::instance()) {
        why = "no application object for the system bus";
        return false;
    }
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        why = "no system bus";
        return false;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.RealtimeKit1"),
                                                       QStringLiteral("/org/freedesktop/RealtimeKit1"),
                                                       QStringLiteral("org.freedesktop.RealtimeKit1"),
                                                       QStringLiteral("MakeThreadRealtime"));
    call << quint64(tid) << quint32(priority);
    const QDBusMessage reply = bus.call(call, QDBus::Block, timeoutMs);
    if (reply.type() == QDBusMessage::ReplyMessage)
        return true;
    why = reply.errorMessage().isEmpty() ? reply.errorName().toStdString() : reply.errorMessage().toStdString();
    if (why.empty())
        why = "no answer from RealtimeKit";
    return false;
}

} // namespace sonaveil::audio
