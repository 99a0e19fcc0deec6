#pragma once

#include <QString>

// The maker's name and support addresses, shown in the about box and used for its mail links. The
// addresses stay in the reserved ".example" domain until the maker has real mailboxes.
namespace Contact {
inline const QString MakerName = QStringLiteral("Corvexa");
inline const QString RightsYears = QStringLiteral("2025-2026");
inline const QString TechSupportMail = QStringLiteral("support@corvexa.example");
inline const QString SalesMail = QStringLiteral("sales@corvexa.example");
} // namespace Contact
