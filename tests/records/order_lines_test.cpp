#include "records/order_lines.h"

#include "records_test_util.h"
#include "test_support.h"

#include <gtest/gtest.h>

TEST(OrderLines, RoundTripKeepsOrderAndTextsAsTyped) {
    TestFolder dir;
    const QList<OrderLine> lines{
        {QStringLiteral("相册"), "25.4", "30", "2", "20"},
        {"A3", "29.7", "42", "1", "1"},
        {"A4", "21", "29.7", QStringLiteral("三"), ""}, // quantities are kept as typed
    };
    ASSERT_TRUE(WriteOrderLines(dir.file("产品.ini"), lines));
    EXPECT_EQ(ReadBytes(dir.file("产品.ini")),
              ToGbk(QStringLiteral("<n>相册<w>25.4</w><h>30</h><c>2</c><p>20</p></n>\r\n"
                                   "<n>A3<w>29.7</w><h>42</h><c>1</c><p>1</p></n>\r\n"
                                   "<n>A4<w>21</w><h>29.7</h><c>三</c><p></p></n>\r\n")));
    EXPECT_EQ(ReadOrderLines(dir.file("产品.ini")), lines);
}

TEST(OrderLines, MissingFileIsAnEmptyOrder) {
    TestFolder dir;
    EXPECT_TRUE(ReadOrderLines(dir.file("产品.ini")).isEmpty());
    ASSERT_TRUE(WriteOrderLines(dir.file("产品.ini"), {}));
    EXPECT_EQ(ReadBytes(dir.file("产品.ini")), QByteArray());
}

TEST(OrderLines, MixedLineEndsAndDamagedTagsReadWithoutFailing) {
    TestFolder dir;
    ASSERT_TRUE(WriteBytes(dir.file("产品.ini"),
                           "<n>A<w>1</w><h>2</h><c>3</c><p>4</p></n>\n"
                           "<n>B<w>5</w><h>6</h></n>\r\n" // no quantity, no pages
                           "<n>C<w>7</w><h>8</h><c>9</c>" // no closing tags at all
                           ));
    const QList<OrderLine> lines = ReadOrderLines(dir.file("产品.ini"));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], (OrderLine{"A", "1", "2", "3", "4"}));
    EXPECT_EQ(lines[1], (OrderLine{"B", "5", "6", "", ""}));
}

TEST(OrderLines, BytesThatAreNotGbkSurviveAReadAndWrite) {
    TestFolder dir;
    const QByteArray odd("<n>X\xFE<w>1</w><h>2</h><c>1</c><p>1</p></n>\r\n");
    ASSERT_TRUE(WriteBytes(dir.file("a.ini"), odd));
    ASSERT_TRUE(WriteOrderLines(dir.file("b.ini"), ReadOrderLines(dir.file("a.ini"))));
    EXPECT_EQ(ReadBytes(dir.file("b.ini")), odd);
}

TEST(OrderLines, RowFromTheListedProductText) {
    EXPECT_EQ(OrderLineFromRow(QStringLiteral("相册 宽:25.4 高:30"), "2", "10"),
              (OrderLine{QStringLiteral("相册"), "25.4", "30", "2", "10"}));
}
