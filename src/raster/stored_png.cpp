#include "raster/stored_png.h"

#include "common/byte_io.h"

#include <zlib.h>

namespace {

// One chunk: length, type, data and the CRC of type and data.
void Chunk(ByteWriter& out, const char* type, const QByteArray& data) {
    out.u32be(uint32_t(data.size()));
    const qsizetype start = out.size();
    out.bytes(type, 4);
    out.bytes(data);
    const auto* typed = reinterpret_cast<const Bytef*>(out.data().constData() + start);
    out.u32be(uint32_t(crc32(0, typed, uInt(data.size() + 4))));
}

} // namespace

QByteArray EncodeStoredPng(const QImage& picture,
                           const QList<std::pair<QByteArray, QByteArray>>& texts) {
    if (picture.isNull())
        return {};
    // A photo decoded into a layout with alpha is still opaque: written as
    // RGB, a quarter smaller.
    bool alpha = false;
    if (picture.hasAlphaChannel()) {
        const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < argb.height() && !alpha; ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
            for (int x = 0; x < argb.width() && !alpha; ++x)
                alpha = qAlpha(line[x]) != 255;
        }
    }
    const QImage rows =
        picture.convertToFormat(alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    const qsizetype rowBytes = qsizetype(rows.width()) * (alpha ? 4 : 3);

    // The image data: each row after its filter byte (0, none).
    QByteArray raw;
    raw.reserve((rowBytes + 1) * rows.height());
    for (int y = 0; y < rows.height(); ++y) {
        raw.append('\0');
        raw.append(reinterpret_cast<const char*>(rows.constScanLine(y)), rowBytes);
    }
    // A zlib stream of stored deflate blocks, 65,535 bytes each at most.
    ByteWriter zlib;
    zlib.u8(0x78); // deflate, 32 KB window
    zlib.u8(0x01); // no preset dictionary, header check
    qsizetype at = 0;
    do {
        const auto length = uint16_t(qMin<qsizetype>(raw.size() - at, 0xFFFF));
        zlib.u8(at + length == raw.size() ? 1 : 0); // final block, stored
        zlib.u16(length);
        zlib.u16(uint16_t(~length));
        zlib.bytes(raw.constData() + at, length);
        at += length;
    } while (at < raw.size());
    zlib.u32be(
        uint32_t(adler32(1, reinterpret_cast<const Bytef*>(raw.constData()), uInt(raw.size()))));

    ByteWriter header;
    header.u32be(uint32_t(rows.width()));
    header.u32be(uint32_t(rows.height()));
    header.u8(8);             // bits per sample
    header.u8(alpha ? 6 : 2); // RGBA or RGB
    header.u8(0);             // deflate
    header.u8(0);             // adaptive filtering (every row: none)
    header.u8(0);             // not interlaced

    ByteWriter png;
    png.bytes("\x89PNG\r\n\x1A\n", 8);
    Chunk(png, "IHDR", header.data());
    for (const auto& [key, value] : texts) {
        if (key.isEmpty() || key.size() > 79 || key.contains('\0') || value.contains('\0'))
            return {};
        Chunk(png, "tEXt", key + '\0' + value);
    }
    Chunk(png, "IDAT", zlib.data());
    Chunk(png, "IEND", {});
    return png.take();
}
