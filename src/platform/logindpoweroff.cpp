#include "platform/logindpoweroff.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QTimer>
#include <memory>

namespace {
// Time enough for the person to answer an authorisation prompt.
constexpr int AuthorisationTimeoutMs = 5 * 60 * 1000;
} // namespace

namespace Platform {

void RequestLogindPowerOff(const QDBusConnection& bus, std::function<void(const QString& reason)> refused) {
    QDBusMessage message = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PowerOff"));
    message << true;
    message.setInteractiveAuthorizationAllowed(true);
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(message, AuthorisationTimeoutMs),
                                                QCoreApplication::instance());
    auto answered = std::make_shared<bool>(false);
    const auto answer = [watcher, answered, refused = std::move(refused)] {
        if (*answered)
            return;
        *answered = true;
        watcher->deleteLater();
        if (!watcher->isError())
            return;
        const QDBusError error = watcher->error();
        refused(error.message().isEmpty() ? error.name() : error.message());
    };
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher, answer);
    // A call that could not even be sent is finished already, and may never signal it.
    if (watcher->isFinished())
        QTimer::singleShot(0, watcher, answer);
}

} // namespace Platform
