#pragma once

#include <QString>
#include <optional>

// The program's integer conversion: optional leading blanks, an optional sign, then decimal digits within
// the 32-bit signed range, or at most eight hexadecimal digits after "$", "x" or "0x". Nothing may follow.
std::optional<int> ParseWholeNumber(const QString& text);

// Banker's rounding: to the nearest whole number, halves to even.
long long RoundHalfEven(double value);

// Numbers for the encoder always use a decimal point, whatever the user's locale.
// "0.0": one decimal, halves away from zero, no thousands separator.
QString FormatOneDecimal(double value);
// Shortest text with at most 15 significant digits, no trailing zeros.
QString FormatGeneral(double value);
// Every digit needed to read the same number back, never an exponent, always with a decimal point.
QString FormatExact(double value);
