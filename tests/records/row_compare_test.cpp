#include "records/row_compare.h"

#include "records_test_util.h"

#include <gtest/gtest.h>

namespace {
int Sign(int v) {
    return v > 0 ? 1 : (v < 0 ? -1 : 0);
}
} // namespace

TEST(RowCompare, KindsAndOrderOfPairs) {
    struct Case {
        const char* a;
        const char* b;
        int expected; // sign of CompareCells(a, b)
    };
    const Case cases[] = {
        {"2016-03-01", "2016-12-31", -1}, // by year, month and day
        {"2016-12-31", "2016-03-01", 1},
        {"2015-12-31", "2016-01-01", -1},
        {"2016-03-01", "2016-03-01", 0},
        {"9", "10", -1}, // numbers by value, where text would put "10" first
        {"10", "100", -1},
        {"100", "9", 1},
        {"-3", "2", -1},
        {"2.5", "2.50", 0},
        {"0.1", "0.1", 0}, // single precision on both sides
        {"", "0", 0},      // the empty text is the number 0
        // The task list's dates are 19 characters: compared as text, which
        // gives the order of the times they stand for.
        {"2016-03-01 10:20:30", "2016-12-31 09:00:00", -1},
        {"2016-03-01 10:20:31", "2016-03-01 10:20:30", 1},
        {"2016-03-01 10:20:30", "2016-03-01 10:20:30", 0},
        // Kinds apart: dates, then numbers, then other texts.
        {"2016-03-01", "5", -1},
        {"5", "abc", -1},
        {"abc", "2016-03-01", 1},
        {"2016-3-1", "2016-03-01", 1}, // not ten characters: a number-like text
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Sign(CompareCells(QString::fromUtf8(c.a), QString::fromUtf8(c.b))), c.expected)
            << c.a << " vs " << c.b;
    }
    EXPECT_EQ(KindOfCell("2016-03-01"), CellKind::Date);
    EXPECT_EQ(KindOfCell("2016-03-01 10:20:30"), CellKind::Text);
    EXPECT_EQ(KindOfCell("-1.5"), CellKind::Number);
    EXPECT_EQ(KindOfCell("2/3"), CellKind::Text);
}

TEST(RowCompare, EveryPairOrderedTheSameWayRound) {
    // A sort may only be given an order that does not depend on which text
    // comes first; a mixed column is where a rule chosen by one side breaks.
    const QStringList texts{
        "2016-03-01", "2016-12-31", "2016-3-1", "9",   "10",  "0.1",  "",
        "-",          "1e5",        "abc",      "ABC", "2/3", "张三", "2016-03-01 10:20:30"};
    for (const QString& a : texts)
        for (const QString& b : texts)
            EXPECT_EQ(Sign(CompareCells(a, b)), -Sign(CompareCells(b, a)))
                << a.toStdString() << " vs " << b.toStdString();
}

TEST(RowCompare, SortRowsEitherWayKeepsTiesAndHiddenTexts) {
    QList<QStringList> rows{
        {"a", "10", "/a"}, {"b", "9", "/b"}, {"c", "100", "/c"}, {"d", "9", "/d"}};
    SortRows(rows, 1, true);
    QStringList order;
    for (const QStringList& r : rows)
        order.append(r[0] + r[2]);
    EXPECT_EQ(order, (QStringList{"b/b", "d/d", "a/a", "c/c"}));
    SortRows(rows, 1, false);
    order.clear();
    for (const QStringList& r : rows)
        order.append(r[0]);
    EXPECT_EQ(order, (QStringList{"c", "a", "b", "d"}));
    // A row without the column sorts as an empty text.
    QList<QStringList> ragged{{"x", "5"}, {"y"}};
    SortRows(ragged, 1, true);
    EXPECT_EQ(ragged.first(), QStringList{"y"});
}
