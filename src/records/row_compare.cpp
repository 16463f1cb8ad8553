#include "records/row_compare.h"

#include "records/number_text.h"

#include <algorithm>

namespace {

bool IsAsciiDigit(QChar c) {
    return c.unicode() >= '0' && c.unicode() <= '9';
}

int DatePart(const QString& text, int start, int length) {
    int value = 0;
    for (int i = start; i < start + length; ++i)
        value = value * 10 + (text[i].unicode() - '0');
    return value;
}

int Sign(double difference) {
    return difference > 0 ? 1 : (difference < 0 ? -1 : 0);
}

int CompareDates(const QString& a, const QString& b) {
    for (const auto& [start, length] : {std::pair{0, 4}, std::pair{5, 2}, std::pair{8, 2}}) {
        const int difference = DatePart(a, start, length) - DatePart(b, start, length);
        if (difference != 0)
            return Sign(difference);
    }
    return 0;
}

int CompareNumbers(const QString& a, const QString& b) {
    // Both sides in single precision: reading only one of them so would make
    // "0.1" differ from itself.
    const float x = static_cast<float>(TextToDouble(a));
    const float y = static_cast<float>(TextToDouble(b));
    return x > y ? 1 : (x < y ? -1 : 0);
}

} // namespace

CellKind KindOfCell(const QString& text) {
    if (text.size() == 10 && text[4] == QLatin1Char('-') && text[7] == QLatin1Char('-')) {
        bool digits = true;
        for (const int i : {0, 1, 2, 3, 5, 6, 8, 9})
            digits = digits && IsAsciiDigit(text[i]);
        if (digits)
            return CellKind::Date;
    }
    const bool number = std::all_of(text.begin(), text.end(), [](QChar c) {
        return IsAsciiDigit(c) || c == QLatin1Char('.') || c == QLatin1Char('-');
    });
    return number ? CellKind::Number : CellKind::Text;
}

int CompareCells(const QString& a, const QString& b) {
    const CellKind kind = KindOfCell(a);
    const CellKind other = KindOfCell(b);
    if (kind != other)
        return static_cast<int>(kind) < static_cast<int>(other) ? -1 : 1;
    switch (kind) {
    case CellKind::Date:
        return CompareDates(a, b);
    case CellKind::Number:
        return CompareNumbers(a, b);
    case CellKind::Text:
        break;
    }
    return Sign(QString::localeAwareCompare(a, b));
}

void SortRows(QList<QStringList>& rows, int column, bool ascending) {
    std::stable_sort(rows.begin(), rows.end(),
                     [column, ascending](const QStringList& x, const QStringList& y) {
                         const QString a = x.value(column);
                         const QString b = y.value(column);
                         return ascending ? CompareCells(a, b) < 0 : CompareCells(b, a) < 0;
                     });
}
