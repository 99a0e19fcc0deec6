#include "profiles/listheights.h"

#include <algorithm>

namespace ListHeights {

int CountedRows(int rows) {
    return std::max(rows, 1);
}

int Loaded(int rows) {
    return 18 * CountedRows(rows);
}

int Opened(int rows) {
    const int counted = CountedRows(rows);
    return counted * 17 + counted + 1;
}

bool Toggle(const QString& caption, int rows, QString& newCaption, int& newHeight) {
    if (caption == QLatin1String("-")) {
        newCaption = QStringLiteral("+");
        newHeight = Closed;
        return true;
    }
    if (caption == QLatin1String("+")) {
        newCaption = QStringLiteral("-");
        newHeight = Opened(rows);
        return true;
    }
    return false;
}

} // namespace ListHeights
