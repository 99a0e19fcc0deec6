#pragma once

#include <QString>

// The size dialog's check of a typed width and height. Each must be a whole number as the program's
// integer conversion reads it; the height is looked at only after the width has passed.
class CustomSize {
public:
    enum class Verdict { Accepted, BadWidth, BadHeight };

    static Verdict Check(const QString& width, const QString& height);
};
