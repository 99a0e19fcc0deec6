// The comma-list splitter: every entry is the text before a comma, and what follows the last is dropped.
#include "fuzzcheck.h"
#include "profiles/commalist.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QStringList entries = SplitCommaList(text);
    FUZZ_CHECK(entries.size() == text.count(QLatin1Char(',')));
    const int lastComma = static_cast<int>(text.lastIndexOf(QLatin1Char(',')));
    const QString rebuilt = entries.isEmpty() ? QString() : entries.join(QLatin1Char(',')) + QLatin1Char(',');
    FUZZ_CHECK(rebuilt == (lastComma < 0 ? QString() : text.left(lastComma + 1)));
    return 0;
}
