#include "hostile_images.h"

#include <QtEndian>

#include <vector>
#include <zlib.h>

namespace {

void Put16(QByteArray& out, int value) {
    out.append(char((value >> 8) & 0xFF));
    out.append(char(value & 0xFF));
}

void Put32(QByteArray& out, quint32 value) {
    Put16(out, int(value >> 16));
    Put16(out, int(value & 0xFFFF));
}

void Segment(QByteArray& out, int marker, const QByteArray& body) {
    out.append(char(0xFF));
    out.append(char(marker));
    Put16(out, int(body.size()) + 2);
    out.append(body);
}

void Chunk(QByteArray& out, const char* type, const QByteArray& data) {
    Put32(out, quint32(data.size()));
    const qsizetype start = out.size();
    out.append(type, 4);
    out.append(data);
    const auto* typed = reinterpret_cast<const Bytef*>(out.constData() + start);
    Put32(out, quint32(crc32(0, typed, uInt(out.size() - start))));
}

} // namespace

QByteArray ForgedProgressiveJpeg(int width, int height, int scans) {
    QByteArray out("\xFF\xD8", 2);
    Segment(out, 0xDB, QByteArray(1, '\0') + QByteArray(64, '\x01')); // one flat table
    QByteArray frame;
    frame.append(char(8)); // bits per sample
    Put16(frame, height);
    Put16(frame, width);
    frame.append(QByteArray("\x01\x01\x11\x00", 4)); // one component, 1 x 1, table 0
    Segment(out, 0xC2, frame);                       // progressive frame
    // DC table 0: a single one-bit code for difference category 0, so every
    // zero bit is a block whose brightness does not change.
    QByteArray table(1, '\0');
    table.append(char(1));
    table.append(QByteArray(15, '\0'));
    table.append(char(0));
    Segment(out, 0xC4, table);
    const QByteArray scan("\x01\x01\x00\x00\x00\x00", 6); // DC first scan, Ss = Se = 0
    for (int i = 0; i < scans; ++i) {
        Segment(out, 0xDA, scan);
        out.append(QByteArray(2, '\0'));
    }
    out.append("\xFF\xD9", 2);
    return out;
}

QByteArray FlatPng(int width, int height, int channels, int bits) {
    QByteArray out("\x89PNG\r\n\x1A\n", 8);
    QByteArray header;
    Put32(header, quint32(width));
    Put32(header, quint32(height));
    header.append(char(bits));
    header.append(char(channels == 4 ? 6 : channels == 3 ? 2 : 0)); // colour type
    header.append(QByteArray(3, '\0'));                             // deflate, filter, no interlace
    Chunk(out, "IHDR", header);

    const qsizetype rowBytes = 1 + (qsizetype(width) * channels * bits + 7) / 8;
    const std::vector<Bytef> row(size_t(rowBytes), 0); // filter none, colour zero
    std::vector<Bytef> buffer(1 << 20);
    z_stream z{};
    deflateInit(&z, 9);
    QByteArray data;
    for (int y = 0; y <= height; ++y) {
        const bool last = y == height;
        z.next_in = const_cast<Bytef*>(row.data());
        z.avail_in = last ? 0 : uInt(rowBytes);
        do {
            z.next_out = buffer.data();
            z.avail_out = uInt(buffer.size());
            deflate(&z, last ? Z_FINISH : Z_NO_FLUSH);
            data.append(reinterpret_cast<const char*>(buffer.data()),
                        qsizetype(buffer.size() - z.avail_out));
        } while (z.avail_out == 0);
    }
    deflateEnd(&z);
    Chunk(out, "IDAT", data);
    Chunk(out, "IEND", {});
    return out;
}
