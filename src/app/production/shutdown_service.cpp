#include "app/production/shutdown_service.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

const char* const kShutdownFailedMessage = "自动关机失败,请手动关机!";

namespace {
// logind answers a request it may grant within moments; a bus that stays
// silent longer is taken as a refusal.
constexpr int kAnswerTimeoutMs = 5 * 1000;
} // namespace

void CLogindShutdownService::PowerOff(Answer answer) {
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        answer(false, bus.lastError().message());
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PowerOff"));
    call << false; // interactive: never wait for someone to authorise it
    call.setInteractiveAuthorizationAllowed(false);
    // The watcher belongs to the application: the window that asked may be
    // gone when the answer comes.
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, kAnswerTimeoutMs),
                                                QCoreApplication::instance());
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [answer = std::move(answer)](QDBusPendingCallWatcher* done) {
                         const QDBusPendingReply<> reply = *done;
                         done->deleteLater();
                         if (!reply.isError()) {
                             answer(true, QString());
                             return;
                         }
                         const QDBusError error = reply.error();
                         answer(false, error.message().isEmpty() ? error.name() : error.message());
                     });
}
