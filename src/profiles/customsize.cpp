#include "profiles/customsize.h"

#include "app/numbers.h"

CustomSize::Verdict CustomSize::Check(const QString& width, const QString& height) {
    if (!ParseWholeNumber(width))
        return Verdict::BadWidth;
    if (!ParseWholeNumber(height))
        return Verdict::BadHeight;
    return Verdict::Accepted;
}
