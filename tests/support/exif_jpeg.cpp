#include "exif_jpeg.h"

#include "common/byte_io.h"

QByteArray WithExifBlock(const QByteArray& jpeg, int orientation, const QByteArray& thumbnail) {
    // A little-endian TIFF structure: IFD0 with the orientation (SHORT),
    // then, with a thumbnail, IFD1 naming where its JPEG lies in the block.
    constexpr uint32_t kIfd1 = 8 + 2 + 12 + 4;
    constexpr uint32_t kThumbnailAt = kIfd1 + 2 + 2 * 12 + 4;
    ByteWriter tiff;
    tiff.bytes("II", 2);
    tiff.u16(42);
    tiff.u32(8);
    tiff.u16(1);
    tiff.u16(0x0112);
    tiff.u16(3);
    tiff.u32(1);
    tiff.u16(uint16_t(orientation));
    tiff.u16(0);
    tiff.u32(thumbnail.isEmpty() ? 0 : kIfd1);
    if (!thumbnail.isEmpty()) {
        tiff.u16(2);
        for (const auto& [tag, value] : {std::pair<uint16_t, uint32_t>{0x0201, kThumbnailAt},
                                         {0x0202, uint32_t(thumbnail.size())}}) {
            tiff.u16(tag);
            tiff.u16(4); // LONG
            tiff.u32(1);
            tiff.u32(value);
        }
        tiff.u32(0);
        tiff.bytes(thumbnail);
    }
    const QByteArray app1 = QByteArray("Exif\0\0", 6) + tiff.data();
    const int length = int(app1.size()) + 2;
    const char size[2] = {char(length >> 8), char(length & 0xFF)};
    return jpeg.left(2) + QByteArray("\xFF\xE1", 2) + QByteArray(size, 2) + app1 + jpeg.mid(2);
}
