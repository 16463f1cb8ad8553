#include "controls/sort_list_ctrl.h"

#include "common/profile.h"
#include "controls/sort_header_ctrl.h"
#include "controls/theme.h"
#include "test_support.h"
#include "widget_support.h"

#include <QHeaderView>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

const QString kSpec = QStringLiteral("订单号,150;客人,200;设计P数,100;已输出,100;日期,200");

std::unique_ptr<CSortListCtrl> MakeList(const QString& spec = kSpec) {
    auto list = std::make_unique<CSortListCtrl>();
    EXPECT_TRUE(list->SetColumns(spec));
    list->resize(800, 300);
    list->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(list.get()));
    return list;
}

void ClickTitle(CSortListCtrl& list, int column) {
    QHeaderView* header = list.horizontalHeader();
    const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
}

QStringList Column(const CSortListCtrl& list, int column) {
    QStringList texts;
    for (int r = 0; r < list.RowCount(); ++r)
        texts.append(list.CellText(r, column));
    return texts;
}

} // namespace

TEST(SortList, ColumnsFromTheColumnText) {
    auto list = MakeList();
    ASSERT_EQ(list->ColumnCount(), 5);
    EXPECT_EQ(list->model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("设计P数"));
    EXPECT_EQ(list->horizontalHeader()->sectionSize(0), 150);
    EXPECT_EQ(list->horizontalHeader()->sectionSize(4), 200);
    EXPECT_FALSE(CSortListCtrl().SetColumns("no columns here"));
}

TEST(SortList, TitleClickSortsByTheColumnsKindAndFlipsTheSharedDirection) {
    struct Case {
        QStringList texts;
        QStringList ascending;
    };
    const Case cases[] = {
        {{"2016-12-31", "2016-03-01"}, {"2016-03-01", "2016-12-31"}},
        {{"10", "9", "100"}, {"9", "10", "100"}},
        {{"2016-12-31 09:00:00", "2016-03-01 10:20:30", "2016-03-01 10:20:31"},
         {"2016-03-01 10:20:30", "2016-03-01 10:20:31", "2016-12-31 09:00:00"}},
    };
    for (const Case& c : cases) {
        auto list = MakeList();
        QList<QStringList> rows;
        for (const QString& t : c.texts)
            rows.append({"name" + t, "", "", "", t});
        list->SetRows(rows);
        for (int click = 0; click < 2; ++click) {
            const bool before = CSortListCtrl::SortAscending();
            ClickTitle(*list, 4);
            ASSERT_NE(CSortListCtrl::SortAscending(), before);
            QStringList expected = c.ascending;
            if (!CSortListCtrl::SortAscending())
                std::reverse(expected.begin(), expected.end());
            EXPECT_EQ(Column(*list, 4), expected) << c.texts.join(",").toStdString();
            EXPECT_EQ(list->SortHeader()->SortColumn(), 4);
            EXPECT_EQ(list->SortHeader()->SortAscending(), CSortListCtrl::SortAscending());
        }
    }
    // Another list's click flips the same direction.
    auto other = MakeList();
    other->SetRows({{"a"}, {"b"}});
    const bool before = CSortListCtrl::SortAscending();
    ClickTitle(*other, 0);
    EXPECT_NE(CSortListCtrl::SortAscending(), before);
}

TEST(SortList, SelectedRowStaysSelectedWhereverItMoves) {
    auto list = MakeList();
    list->SetRows({{"c", "3"}, {"a", "1"}, {"b", "2"}});
    list->selectRow(0);
    ClickTitle(*list, 1);
    const int expectedRow = CSortListCtrl::SortAscending() ? 2 : 0;
    ClickTitle(*list, 1); // sorted the other way: "c" moves to the other end
    EXPECT_EQ(list->SelectedRows(), QList<int>{2 - expectedRow});
    EXPECT_EQ(list->CellText(list->FirstSelectedRow(), 0), "c");
}

TEST(SortList, LayoutSurvivesReopeningAndIsIgnoredForOtherColumnCounts) {
    {
        auto list = MakeList();
        list->LoadLayout(4711);
        list->horizontalHeader()->resizeSection(1, 260);
        list->horizontalHeader()->moveSection(4, 0); // dates shown first
    }
    auto reopened = MakeList();
    reopened->LoadLayout(4711);
    EXPECT_EQ(reopened->horizontalHeader()->sectionSize(1), 260);
    EXPECT_EQ(reopened->horizontalHeader()->visualIndex(4), 0);
    EXPECT_EQ(reopened->horizontalHeader()->visualIndex(0), 1);

    auto fewer = MakeList(QStringLiteral("a,50;b,60;c,70"));
    fewer->LoadLayout(4711);
    EXPECT_EQ(fewer->horizontalHeader()->sectionSize(1), 60);
    EXPECT_EQ(fewer->horizontalHeader()->visualIndex(0), 0);
}

TEST(SortList, RowsAlternateTheirColoursAndExtraTextsStayHidden) {
    auto list = MakeList(QStringLiteral("a,100;b,100"));
    list->SetRows({{"x", "1", "hidden"}, {"y", "2", "hidden"}});
    EXPECT_EQ(list->model()->columnCount(), 2);
    const QImage img = GrabImage(list->viewport());
    const int h = list->rowHeight(0);
    EXPECT_TRUE(PixelNear(img, {150, h / 2}, Theme::kRowEven.rgb(), "sortlist-row0", 4));
    EXPECT_TRUE(PixelNear(img, {150, h + h / 2}, Theme::kRowOdd.rgb(), "sortlist-row1", 4));
}
