#pragma once

#include <QString>
#include <functional>

class QDBusConnection;

namespace Platform {
// Asks logind on the bus to turn the computer off, allowing it to ask the person for authorisation, and
// returns at once. logind answers only when the authorisation is settled, so the answer is awaited in the
// event loop; a refusal (or no bus to ask) calls refused there with the reason.
void RequestLogindPowerOff(const QDBusConnection& bus, std::function<void(const QString& reason)> refused);
} // namespace Platform
