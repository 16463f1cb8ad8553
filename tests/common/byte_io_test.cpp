#include "common/byte_io.h"
#include "common/gbk.h"

#include <gtest/gtest.h>

TEST(ByteIo, RoundTripLittleEndian) {
    ByteWriter w;
    w.u8(200);
    w.u16(0x1234);
    w.u32(0xA1B2C3D4);
    w.i32(-5);
    const QByteArray b = w.data();
    ASSERT_EQ(b.size(), 11);
    EXPECT_EQ(static_cast<uint8_t>(b[1]), 0x34);
    EXPECT_EQ(static_cast<uint8_t>(b[3]), 0xD4);
    ByteReader r(b);
    EXPECT_EQ(r.u8(), 200);
    EXPECT_EQ(r.u16(), 0x1234);
    EXPECT_EQ(r.u32(), 0xA1B2C3D4u);
    EXPECT_EQ(r.i32(), -5);
    EXPECT_TRUE(r.ok());
    EXPECT_TRUE(r.atEnd());
}

TEST(ByteIo, ReadingPastTheEndFailsAndStaysFailed) {
    const QByteArray b("\x01\x02\x03", 3);
    ByteReader r(b);
    EXPECT_EQ(r.u32(), 0u);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.u8(), 0); // even though a byte remains
    ByteReader r2(b);
    EXPECT_TRUE(r2.bytes(4).isEmpty());
    EXPECT_FALSE(r2.ok());
    ByteReader r3(b);
    EXPECT_FALSE(r3.skip(0xFFFFFFFFll));
    EXPECT_FALSE(r3.skip(-1));
    ByteReader r4(b);
    EXPECT_EQ(r4.upTo(10), b);
    EXPECT_TRUE(r4.ok());
}

TEST(ByteIo, ArchiveCountSwitchesToLongFormAt65535) {
    ByteWriter a;
    WriteArchiveCount(a, 65534);
    EXPECT_EQ(a.data(), QByteArray("\xFE\xFF", 2));
    ByteWriter b;
    WriteArchiveCount(b, 65535);
    EXPECT_EQ(b.data(), QByteArray("\xFF\xFF\xFF\xFF\x00\x00", 6));
    ByteReader ra(a.data());
    EXPECT_EQ(ReadArchiveCount(ra), 65534u);
    ByteReader rb(b.data());
    EXPECT_EQ(ReadArchiveCount(rb), 65535u);
    EXPECT_TRUE(rb.atEnd());
}

TEST(Gbk, EncodesChineseAndCutsOnWholeCharacters) {
    const QByteArray gbk = ToGbk("婚纱");
    EXPECT_EQ(gbk, QByteArray("\xBB\xE9\xC9\xB4", 4));
    EXPECT_EQ(FromGbk(gbk), "婚纱");
    EXPECT_EQ(CutGbk(gbk, 3), gbk.left(2));
    EXPECT_EQ(CutGbk("ab" + gbk, 3), QByteArray("ab"));
    EXPECT_TRUE(IsGbkEncodable("张三 A3"));
    EXPECT_FALSE(IsGbkEncodable(QString::fromUtf8("\xF0\x9F\x98\x80"))); // emoji
}
