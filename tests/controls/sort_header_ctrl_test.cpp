#include "common/column_layout.h"
#include "controls/sort_header_ctrl.h"
#include "controls/theme.h"
#include "test_support.h"
#include "widget_support.h"

#include <QStandardItemModel>
#include <QTableView>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

// A table of `columns` columns 100 pixels wide, captioned "A", "B", ...
struct Table {
    QStandardItemModel model;
    QTableView view;
    CSortHeaderCtrl* header = new CSortHeaderCtrl(&view);
    explicit Table(int columns) : model(2, columns) {
        for (int c = 0; c < columns; ++c)
            model.setHorizontalHeaderItem(c, new QStandardItem(QString(QChar('A' + c))));
        view.setHorizontalHeader(header);
        view.setModel(&model);
        for (int c = 0; c < columns; ++c)
            header->resizeSection(c, 100);
        view.resize(columns * 100 + 80, 120);
    }
    QImage Grab() {
        view.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
        return GrabImage(header->viewport());
    }
};

int CountNear(const QImage& img, const QRect& area, const QColor& c, int tolerance) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += Near(img.pixel(x, y), c.rgb(), tolerance);
    return n;
}

} // namespace

TEST(SortHeader, SectionHasTopLineEdgeFaceAndLeftCaption) {
    Table t(3);
    const QImage img = t.Grab();
    const int h = img.height();
    ASSERT_GT(h, 12);
    EXPECT_TRUE(PixelNear(img, {50, 0}, Theme::kHeaderTopLine.rgb(), "header-top", 0));
    EXPECT_TRUE(PixelNear(img, {50, 1}, Theme::kHeaderEdge.rgb(), "header-edge-top", 0));
    EXPECT_TRUE(PixelNear(img, {100, h / 2}, Theme::kHeaderEdge.rgb(), "header-edge-left", 0));
    EXPECT_TRUE(PixelNear(img, {199, h / 2}, Theme::kHeaderEdge.rgb(), "header-edge-right", 0));
    EXPECT_TRUE(PixelNear(img, {150, h - 1}, Theme::kHeaderEdge.rgb(), "header-edge-bottom", 0));
    EXPECT_TRUE(PixelNear(img, {102, 2}, Theme::kHeaderFace.rgb(), "header-face", 0));
    EXPECT_TRUE(PixelNear(img, {160, h / 2}, Theme::kHeaderFace.rgb(), "header-face-mid", 0));
    // "B" in white, a quarter of the height in from the section's left edge.
    const int q = h / 4;
    const QRect leftPart(100 + q, 2, 20, h - 4);
    EXPECT_GT(CountNear(img, leftPart, Theme::kHeaderCaption, 60), 3);
    EXPECT_EQ(CountNear(img, QRect(100 + q - 2, 2, 1, h - 4), Theme::kHeaderCaption, 60), 0);
    EXPECT_EQ(CountNear(img, QRect(130, 2, 68, h - 4), Theme::kHeaderCaption, 60), 0);
}

TEST(SortHeader, ArrowOnlyOnTheSortedColumnPointingTheSortWay) {
    for (const int sorted : {-1, 0, 2}) {
        for (const bool ascending : {true, false}) {
            Table t(3);
            t.header->SetSortIndicator(sorted, ascending);
            const QImage img = t.Grab();
            const int h = img.height();
            const int q = h / 4;
            for (int c = 0; c < 3; ++c) {
                const int right = (c + 1) * 100;
                const QRect arrowArea(right - 3 * q - 3, 1, 3 * q + 2, h - 2);
                const int shadow = CountNear(img, arrowArea, Theme::kEdgeShadow, 8);
                EXPECT_EQ(shadow > 0, c == sorted) << "column " << c << " sorted " << sorted;
                if (c != sorted)
                    continue;
                // The row a quarter down holds the apex going up, the whole
                // top side going down.
                const bool corner =
                    !Near(img.pixel(right - 3 * q - 1, q), Theme::kHeaderFace.rgb(), 8);
                EXPECT_FALSE(Near(img.pixel(right - 2 * q, q), Theme::kHeaderFace.rgb(), 8));
                EXPECT_EQ(corner, !ascending) << "column " << c;
            }
        }
    }
}

TEST(SortHeader, SavesWidthAndPlaceOfEveryColumn) {
    Table t(3);
    t.header->resizeSection(0, 80);
    t.header->resizeSection(1, 120);
    t.header->resizeSection(2, 60);
    t.header->moveSection(2, 0); // shown: C A B
    EXPECT_EQ(t.header->SaveLayout(), EncodeColumnLayout({{80, 1}, {120, 2}, {60, 0}}));
}

TEST(SortHeader, LoadsEveryColumnOrder) {
    std::vector<int> order{0, 1, 2, 3};
    do {
        Table t(4);
        ColumnLayout layout;
        for (int c = 0; c < 4; ++c)
            layout.push_back({50 + 10 * c, order[c]});
        ASSERT_TRUE(t.header->LoadLayout(EncodeColumnLayout(layout)));
        for (int c = 0; c < 4; ++c) {
            EXPECT_EQ(t.header->visualIndex(c), order[c]) << "column " << c;
            EXPECT_EQ(t.header->sectionSize(c), 50 + 10 * c);
        }
    } while (std::next_permutation(order.begin(), order.end()));
}

TEST(SortHeader, LayoutForAnotherColumnCountIsIgnored) {
    Table t(3);
    const QByteArray before = t.header->SaveLayout();
    EXPECT_FALSE(t.header->LoadLayout(EncodeColumnLayout({{30, 1}, {40, 0}})));
    EXPECT_FALSE(t.header->LoadLayout(EncodeColumnLayout({{30, 1}, {40, 0}, {50, 3}, {60, 2}})));
    EXPECT_FALSE(t.header->LoadLayout(QByteArray("\x03\x00", 2)));
    EXPECT_EQ(t.header->SaveLayout(), before);
}
