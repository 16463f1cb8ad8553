#include "records/number_text.h"

#include <QLocale>
#include <climits>
#include <cstdint>

namespace {
bool IsBlank(QChar c) {
    return c == QLatin1Char(' ') || (c.unicode() >= 0x09 && c.unicode() <= 0x0D);
}
bool IsDigit(QChar c) {
    return c.unicode() >= '0' && c.unicode() <= '9';
}

qsizetype SkipBlanks(const QString& text, qsizetype i) {
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    return i;
}
} // namespace

int TextToInt(const QString& text) {
    qsizetype i = SkipBlanks(text, 0);
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        negative = text[i++] == QLatin1Char('-');
    int64_t value = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        value = value * 10 + (text[i].unicode() - '0');
        if (value > int64_t(INT_MAX) + 1)
            value = int64_t(INT_MAX) + 1; // keeps accumulating bounded
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

double TextToDouble(const QString& text) {
    const qsizetype start = SkipBlanks(text, 0);
    qsizetype i = start;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        ++i;
    qsizetype digits = 0;
    while (i < text.size() && IsDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < text.size() && text[i] == QLatin1Char('.')) {
        ++i;
        while (i < text.size() && IsDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return 0.0;
    qsizetype end = i;
    // An exponent counts only when digits follow it ("2e" is 2).
    if (i < text.size() && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        qsizetype j = i + 1;
        if (j < text.size() && (text[j] == QLatin1Char('+') || text[j] == QLatin1Char('-')))
            ++j;
        if (j < text.size() && IsDigit(text[j])) {
            while (j < text.size() && IsDigit(text[j]))
                ++j;
            end = j;
        }
    }
    bool ok = false;
    const double value = QLocale::c().toDouble(text.mid(start, end - start), &ok);
    if (ok)
        return value;
    // Out of the range of a double: counted as no number, so that such a
    // size is refused rather than taken as infinite.
    return 0.0;
}
