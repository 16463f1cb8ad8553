#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// How the report lists order the texts of one column when the operator clicks
// its title. A text is one of three kinds:
//   date   - exactly "YYYY-MM-DD" (ASCII digits, "-" at places 4 and 7),
//            ordered by year, month, day;
//   number - only digits, "." and "-" (the empty text too), ordered by value
//            read as the C runtime reads it, in single precision;
//   text   - anything else, ordered by the system's locale-aware comparison.
// Texts of one kind are compared by that kind's rule; texts of different
// kinds by kind alone, dates before numbers before other texts. Every pair of
// texts is thus ordered the same way whichever comes first, which a sort
// needs to stay within the rows it sorts.
enum class CellKind { Date, Number, Text };
CellKind KindOfCell(const QString& text);

// Negative, zero or positive as a sorts before, with or after b.
int CompareCells(const QString& a, const QString& b);

// Sorts rows by their texts in column (a missing text counts as empty), in
// the given direction. Rows that compare equal keep their order.
void SortRows(QList<QStringList>& rows, int column, bool ascending);
