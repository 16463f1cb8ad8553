#include "common/byte_io.h"

#include <cstring>

bool ByteReader::take(qint64 n) {
    if (!ok_ || n < 0 || n > remaining()) {
        ok_ = false;
        return false;
    }
    return true;
}

uint8_t ByteReader::u8() {
    if (!take(1))
        return 0;
    return static_cast<uint8_t>(data_[pos_++]);
}

uint16_t ByteReader::u16() {
    if (!take(2))
        return 0;
    const auto* p = reinterpret_cast<const uint8_t*>(data_ + pos_);
    pos_ += 2;
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t ByteReader::u32() {
    if (!take(4))
        return 0;
    const auto* p = reinterpret_cast<const uint8_t*>(data_ + pos_);
    pos_ += 4;
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

uint16_t ByteReader::u16be() {
    if (!take(2))
        return 0;
    const auto* p = reinterpret_cast<const uint8_t*>(data_ + pos_);
    pos_ += 2;
    return static_cast<uint16_t>((p[0] << 8) | p[1]);
}

uint32_t ByteReader::u32be() {
    if (!take(4))
        return 0;
    const auto* p = reinterpret_cast<const uint8_t*>(data_ + pos_);
    pos_ += 4;
    return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
           (static_cast<uint32_t>(p[2]) << 8) | static_cast<uint32_t>(p[3]);
}

QByteArray ByteReader::bytes(qint64 n) {
    if (!take(n))
        return {};
    QByteArray out(data_ + pos_, static_cast<qsizetype>(n));
    pos_ += n;
    return out;
}

QByteArray ByteReader::upTo(qint64 n) {
    if (!ok_ || n <= 0)
        return {};
    const qint64 k = n < remaining() ? n : remaining();
    QByteArray out(data_ + pos_, static_cast<qsizetype>(k));
    pos_ += k;
    return out;
}

bool ByteReader::skip(qint64 n) {
    if (!take(n))
        return false;
    pos_ += n;
    return true;
}

const char* ByteReader::view(qint64 n) {
    if (!take(n))
        return nullptr;
    const char* p = data_ + pos_;
    pos_ += n;
    return p;
}

void ByteWriter::u16(uint16_t v) {
    buf_.append(static_cast<char>(v & 0xFF));
    buf_.append(static_cast<char>(v >> 8));
}

void ByteWriter::u32(uint32_t v) {
    for (int i = 0; i < 4; ++i)
        buf_.append(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void ByteWriter::u32be(uint32_t v) {
    for (int i = 3; i >= 0; --i)
        buf_.append(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void ByteWriter::fixedText(const QByteArray& text, int width) {
    QByteArray field(width, '\0');
    const int n = static_cast<int>(qMin<qsizetype>(text.size(), width - 1));
    std::memcpy(field.data(), text.constData(), static_cast<size_t>(n));
    buf_.append(field);
}

void WriteArchiveCount(ByteWriter& w, uint32_t count) {
    if (count < 0xFFFF) {
        w.u16(static_cast<uint16_t>(count));
    } else {
        w.u16(0xFFFF);
        w.u32(count);
    }
}

uint32_t ReadArchiveCount(ByteReader& r) {
    const uint16_t small = r.u16();
    if (small != 0xFFFF)
        return small;
    return r.u32();
}
