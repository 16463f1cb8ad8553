#include "common/column_layout.h"

#include <gtest/gtest.h>

namespace {
QByteArray Bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (int v : values)
        out.append(static_cast<char>(v));
    return out;
}
} // namespace

TEST(ColumnLayout, EncodesCountThenWidthAndOrderLittleEndian) {
    const ColumnLayout layout{{150, 1}, {200, 0}, {0x01020304, 2}};
    const QByteArray expected = Bytes({3,    0,    0,    0,                  // count
                                       150,  0,    0,    0,    1, 0, 0, 0,   // column 0
                                       0xC8, 0,    0,    0,    0, 0, 0, 0,   // column 1
                                       0x04, 0x03, 0x02, 0x01, 2, 0, 0, 0}); // column 2
    EXPECT_EQ(EncodeColumnLayout(layout), expected);
    EXPECT_EQ(DecodeColumnLayout(expected), layout);
}

TEST(ColumnLayout, EmptyLayoutIsJustAZeroCount) {
    EXPECT_EQ(EncodeColumnLayout({}), Bytes({0, 0, 0, 0}));
    const auto decoded = DecodeColumnLayout(Bytes({0, 0, 0, 0}));
    ASSERT_TRUE(decoded.has_value());
    EXPECT_TRUE(decoded->empty());
}

TEST(ColumnLayout, TrailingBytesAreIgnored) {
    QByteArray bytes = EncodeColumnLayout({{80, 0}});
    bytes.append("xyz");
    EXPECT_EQ(DecodeColumnLayout(bytes), ColumnLayout({{80, 0}}));
}

TEST(ColumnLayout, RefusesDamagedData) {
    const QByteArray good = EncodeColumnLayout({{80, 0}, {90, 1}});
    const struct {
        const char* what;
        QByteArray bytes;
    } cases[] = {
        {"empty", QByteArray()},
        {"short count", good.left(3)},
        {"column cut off", good.left(good.size() - 1)},
        {"negative count", Bytes({0xFF, 0xFF, 0xFF, 0xFF})},
        {"count past the data", Bytes({0xFF, 0xFF, 0xFF, 0x7F, 1, 0, 0, 0, 0, 0, 0, 0})},
        {"negative width", EncodeColumnLayout({{-1, 0}})},
        {"order out of range", EncodeColumnLayout({{80, 0}, {90, 2}})},
        {"order twice", EncodeColumnLayout({{80, 1}, {90, 1}})},
    };
    for (const auto& c : cases)
        EXPECT_FALSE(DecodeColumnLayout(c.bytes).has_value()) << c.what;
}
