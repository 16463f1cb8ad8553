#include "records/gbk_text_keeping_bytes.h"

#include "records_test_util.h"
#include "test_support.h"

#include <gtest/gtest.h>

TEST(GbkKeepingBytes, GbkTextDecodesAsUsual) {
    const QString text = QStringLiteral("相册 A3 宽:29.7");
    EXPECT_EQ(DecodeGbkKeepingBytes(ToGbk(text)), text);
    EXPECT_EQ(EncodeGbkKeepingBytes(text), ToGbk(text));
}

TEST(GbkKeepingBytes, EveryByteAndBytePairComesBackUnchanged) {
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    EXPECT_EQ(EncodeGbkKeepingBytes(DecodeGbkKeepingBytes(all)), all);
    for (int lead = 0x80; lead < 256; ++lead) {
        QByteArray pairs;
        for (int trail = 0; trail < 256; ++trail) {
            pairs.append(static_cast<char>(lead));
            pairs.append(static_cast<char>(trail));
        }
        ASSERT_EQ(EncodeGbkKeepingBytes(DecodeGbkKeepingBytes(pairs)), pairs) << lead;
    }
}

TEST(GbkKeepingBytes, StrayBytesStandBesideGoodText) {
    const QByteArray bytes = "A\xFF" + ToGbk(QStringLiteral("册")) + "\x81";
    const QString text = DecodeGbkKeepingBytes(bytes);
    ASSERT_EQ(text.size(), 4);
    EXPECT_EQ(text[0], QChar('A'));
    EXPECT_EQ(text[2], QChar(0x518C));
    EXPECT_NE(text[1], QChar(0xFF));
    EXPECT_EQ(EncodeGbkKeepingBytes(text), bytes);
}

TEST(GbkKeepingBytes, LinesAreJoinedWithoutTheirEnds) {
    TestFolder dir;
    ASSERT_TRUE(WriteBytes(dir.file("t.ini"), "ab\r\ncd\nef\xFF\r\n\x81gh"));
    EXPECT_EQ(EncodeGbkKeepingBytes(ReadJoinedLinesKeepingBytes(dir.file("t.ini"), 1000)),
              "abcdef\xFF\x81gh");
    // A file larger than allowed reads as nothing.
    EXPECT_TRUE(ReadJoinedLinesKeepingBytes(dir.file("t.ini"), 4).isEmpty());
    EXPECT_TRUE(ReadJoinedLinesKeepingBytes(dir.file("none.ini"), 1000).isEmpty());
}
