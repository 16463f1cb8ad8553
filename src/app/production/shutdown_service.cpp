#include "app/production/shutdown_service.h"

#include <QDBusConnection>
#include <QDBusMessage>

const char* const kShutdownFailedMessage = "自动关机失败,请手动关机!";

namespace {
// The operator may have to authorise the power-off in a dialog of the
// desktop; wait for an answer that long.
constexpr int kAuthorisationTimeoutMs = 120 * 1000;
} // namespace

bool CLogindShutdownService::PowerOff(QString* error) {
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        if (error)
            *error = bus.lastError().message();
        return false;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PowerOff"));
    call << true; // interactive: logind may ask for authorisation
    call.setInteractiveAuthorizationAllowed(true);
    const QDBusMessage reply = bus.call(call, QDBus::Block, kAuthorisationTimeoutMs);
    if (reply.type() == QDBusMessage::ErrorMessage) {
        if (error)
            *error = reply.errorMessage().isEmpty() ? reply.errorName() : reply.errorMessage();
        return false;
    }
    return true;
}
