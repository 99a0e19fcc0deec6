#include "profiles/commalist.h"

QStringList SplitCommaList(const QString& text) {
    QStringList entries = text.split(QLatin1Char(','));
    // The text after the last comma is no entry (and the whole text is none when there is no comma).
    entries.removeLast();
    return entries;
}
