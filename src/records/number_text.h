#pragma once

#include <QString>

// Numbers typed by the operator are read the way the C runtime reads them, so
// that "25.5cm" counts as 25.5 and "abc" as 0, independent of the locale.

// Leading blanks, an optional sign, then decimal digits; stops at the first
// other character. No digits gives 0; values beyond 32 bits are clamped.
int TextToInt(const QString& text);

// Leading blanks, an optional sign, digits with an optional "." and
// fraction, an optional exponent ("e" or "E", sign, digits); the rest is
// ignored. No number, or one beyond the range of a double, gives 0. Never
// yields NaN or infinity; "inf", "nan" and hexadecimal forms are not numbers.
double TextToDouble(const QString& text);
