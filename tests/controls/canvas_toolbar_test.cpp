#include "controls/canvas_toolbar.h"
#include "controls/theme.h"
#include "test_support.h"

#include <gtest/gtest.h>

TEST(CanvasToolbar, ClicksMapToCellsOnlyOnTheStrip) {
    // Canvas rows 20 to 319: the strip covers rows 325 to 350.
    const QRect canvas(10, 20, 400, 300);
    EXPECT_EQ(ToolbarOrigin(canvas), QPoint(10, 325));
    const struct {
        int dx, belowCanvas, cell;
    } cases[] = {
        {0, 5, 0},     {27, 5, 0},    {28, 5, 1},    {55, 17, 1},   {56, 17, 2},
        {335, 30, 11}, {336, 30, 12}, {359, 30, 12}, {360, 17, -1}, {-1, 17, -1},
        {0, 4, -1},    {0, 0, -1},    {0, 31, -1},   {100, 33, -1}, {100, -10, -1},
    };
    for (const auto& c : cases) {
        const QPoint click(canvas.left() + c.dx, canvas.bottom() + 1 + c.belowCanvas);
        EXPECT_EQ(ToolbarCellAt(click, canvas), c.cell)
            << "x " << c.dx << ", " << c.belowCanvas << " below";
    }
}

TEST(CanvasToolbar, BitmapHasThirteenDistinctIconsInTheirCells) {
    const QImage bar = CanvasToolbarBitmap();
    ASSERT_EQ(bar.size(), QSize(kToolbarWidth, kToolbarHeight));
    EXPECT_EQ(kToolbarCellWidth, 28);
    std::vector<QImage> cells;
    for (int i = 0; i < kToolbarCellCount; ++i) {
        const QRect cell(i * kToolbarCellWidth, 0, 24, kToolbarHeight);
        int glyph = 0;
        for (int y = 3; y < kToolbarHeight - 3; ++y)
            for (int x = cell.left() + 3; x < cell.left() + 21; ++x)
                glyph += Near(bar.pixel(x, y), Theme::kToolbarGlyph.rgb(), 20);
        EXPECT_GT(glyph, 15) << "cell " << i;
        // Button border at the cell's left edge, window between the buttons.
        EXPECT_EQ(qAlpha(bar.pixel(cell.left(), 13)), 255) << "cell " << i;
        if (i < kToolbarCellCount - 1) {
            EXPECT_EQ(qAlpha(bar.pixel(cell.left() + 25, 13)), 0) << "cell " << i;
        }
        cells.push_back(bar.copy(cell));
    }
    for (size_t a = 0; a < cells.size(); ++a)
        for (size_t b = a + 1; b < cells.size(); ++b)
            EXPECT_NE(cells[a], cells[b]) << "cells " << a << " and " << b;
}
