// The order list's texts, the size label and the page size a product gives.

#include "app/orders/order_entries.h"

#include <gtest/gtest.h>

namespace {
TEST(OrderEntries, SizeLabelParts) {
    const struct {
        QSize hundredths;
        const char* text;
    } cases[] = {{{2000, 2500}, "模板 20,25cm"},
                 {{2050, 2000}, "模板 20.5,20cm"},
                 {{5, 100}, "模板 0.1,1cm"},
                 {{0, 0}, "模板 0,0cm"}};
    for (const auto& c : cases)
        EXPECT_EQ(TemplateSizePart(c.hundredths), QString::fromUtf8(c.text));
    EXPECT_EQ(OutputSizePart("20", "30"), QStringLiteral("   输出 20,30cm"));
    EXPECT_EQ(OutputSizePart("20.5", "30"), QStringLiteral("   输出 20.5,30cm"));
}

TEST(OrderEntries, ProductPageSizeAtEachDpi) {
    const struct {
        const char* width;
        const char* height;
        int dpi;
        QSize pixels;
    } cases[] = {{"20", "30", 254, {2000, 3000}},
                 {"20", "30", 200, {1574, 2362}},
                 {"20", "30", 300, {2362, 3543}},
                 {"20.5", "30", 254, {2000, 3000}},
                 {"25.5", "10", 200, {1968, 787}}};
    for (const auto& c : cases) {
        const auto size = ProductPageSize(OrderLine{"相册", c.width, c.height, "1", "20"}, c.dpi);
        ASSERT_TRUE(size.has_value());
        EXPECT_EQ(*size, c.pixels) << c.width << " at " << c.dpi;
    }
    for (const char* width : {"0", "0.001", "", "abc", "-5"})
        EXPECT_FALSE(ProductPageSize(OrderLine{"相册", width, "30", "1", "20"}, 254)) << width;
}

TEST(OrderEntries, EntriesAndNames) {
    EXPECT_EQ(OrderHeaderEntry("张三", "138"), QStringLiteral("客人：张三\r\n电话：138\r\n"));
    EXPECT_EQ(OrderProductEntry(OrderLine{"相册", "30", "30.5", "2", "20"}),
              QStringLiteral("产品：相册\r\n尺寸：宽30 高30.5 cm\r\n数量：2\r\nP 数：20\r\n"));
    EXPECT_EQ(OrderEntryColour(0), QColor(173, 214, 238));
    EXPECT_EQ(OrderEntryColour(1), QColor(140, 197, 231));
    EXPECT_EQ(OrderEntryColour(4), QColor(173, 214, 238));
    EXPECT_EQ(CustomerDisplayName(",张,,三,"), QStringLiteral("张,三"));
    EXPECT_EQ(CustomerDisplayName("李四"), QStringLiteral("李四"));
}
} // namespace
