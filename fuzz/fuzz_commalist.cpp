// The comma-list splitter: every entry is the text before a comma, and what follows the last is dropped.
#include "profiles/commalist.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QStringList entries = SplitCommaList(text);
    if (entries.size() != text.count(QLatin1Char(',')))
        std::abort();
    const int lastComma = static_cast<int>(text.lastIndexOf(QLatin1Char(',')));
    const QString rebuilt = entries.isEmpty() ? QString() : entries.join(QLatin1Char(',')) + QLatin1Char(',');
    if (rebuilt != (lastComma < 0 ? QString() : text.left(lastComma + 1)))
        std::abort();
    return 0;
}
