#include "jpeg_files.h"

#include "common/byte_io.h"

#include <QBuffer>
#include <QColorSpace>
#include <QImage>
#include <QImageWriter>
#include <QMap>

namespace {

// The standard brightness table in zig-zag order, as a DQT segment lists it.
constexpr int kStandardLuma[64] = {16,  11, 12, 14,  12,  10,  16,  14,  13, 14,  18,  17,  16,
                                   19,  24, 40, 26,  24,  22,  22,  24,  49, 35,  37,  29,  40,
                                   58,  51, 61, 60,  57,  51,  56,  55,  64, 72,  92,  78,  64,
                                   68,  87, 69, 55,  56,  80,  109, 81,  87, 95,  98,  103, 104,
                                   103, 62, 77, 113, 121, 112, 100, 120, 92, 101, 103, 99};

int QualityOf(const QList<int>& table) {
    for (int q = 1; q <= 100; ++q) {
        const int scale = q < 50 ? 5000 / q : 200 - 2 * q;
        bool same = true;
        for (int i = 0; i < 64 && same; ++i)
            same = table[i] == qBound(1, (kStandardLuma[i] * scale + 50) / 100, 255);
        if (same)
            return q;
    }
    return -1;
}

} // namespace

JpegHeaders ReadJpegHeaders(const QByteArray& jpeg) {
    JpegHeaders h;
    QMap<int, QByteArray> iccChunks;
    ByteReader r(jpeg);
    if (r.u16be() != 0xFFD8)
        return h;
    while (r.ok() && !r.atEnd()) {
        const uint16_t marker = r.u16be();
        const uint16_t length = r.u16be();
        if (!r.ok() || (marker >> 8) != 0xFF || length < 2 || marker == 0xFFDA)
            break; // the first scan: every header has been seen
        ByteReader segment(r.view(length - 2), length - 2);
        if (marker == 0xFFE0 && segment.bytes(5) == QByteArray("JFIF\0", 5)) {
            segment.skip(2); // version
            h.units = segment.u8();
            h.xDensity = segment.u16be();
            h.yDensity = segment.u16be();
            h.jfif = segment.ok();
        } else if (marker == 0xFFE2 && segment.bytes(12) == QByteArray("ICC_PROFILE\0", 12)) {
            const int sequence = segment.u8();
            segment.u8(); // chunk count
            iccChunks[sequence] = segment.upTo(length);
        } else if (marker == 0xFFDB) {
            while (segment.ok() && !segment.atEnd()) {
                const int pq = segment.u8(); // precision (high nibble), table id
                QList<int> table;
                for (int i = 0; i < 64; ++i)
                    table.append((pq >> 4) ? segment.u16be() : segment.u8());
                if (segment.ok() && (pq & 0x0F) == 0)
                    h.quality = QualityOf(table);
            }
        } else if (marker == 0xFFC0) {
            segment.u8(); // precision
            h.height = segment.u16be();
            h.width = segment.u16be();
            const int components = segment.u8();
            for (int i = 0; i < components && segment.ok(); ++i) {
                segment.u8(); // id
                h.sampling.append(segment.u8());
                segment.u8(); // quantisation table
            }
            h.baseline = segment.ok();
        }
    }
    for (const QByteArray& chunk : iccChunks)
        h.icc += chunk;
    return h;
}

QByteArray AdobeRgbJpeg(int w, int h, QRgb stored) {
    QImage photo(w, h, QImage::Format_RGB32);
    photo.fill(stored);
    photo.setColorSpace(QColorSpace(QColorSpace::AdobeRgb));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(100);
    writer.write(photo);
    return bytes;
}
