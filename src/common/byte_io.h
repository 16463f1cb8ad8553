#pragma once

#include <QByteArray>
#include <cstdint>

// Bounded little-endian reader shared by every binary format. A read that
// would run past the end of the data marks the reader failed and yields
// zeros; once failed, every further read fails too, so a parser can check
// ok() once at the end of a block.
class ByteReader {
public:
    ByteReader(const char* data, qsizetype size) : data_(data), size_(size < 0 ? 0 : size) {}
    explicit ByteReader(const QByteArray& bytes) : ByteReader(bytes.constData(), bytes.size()) {}

    bool ok() const { return ok_; }
    qsizetype pos() const { return pos_; }
    qsizetype size() const { return size_; }
    qsizetype remaining() const { return size_ - pos_; }
    bool atEnd() const { return pos_ >= size_; }

    uint8_t u8();
    uint16_t u16();
    uint32_t u32();
    int32_t i32() { return static_cast<int32_t>(u32()); }
    // Big-endian counterparts, for formats that store numbers that way
    // (JPEG segments, "MM" TIFF data inside EXIF).
    uint16_t u16be();
    uint32_t u32be();

    // Copies n bytes; fails (returning an empty array) when fewer remain.
    QByteArray bytes(qint64 n);
    // Copies up to n bytes, as many as remain; never fails on a short tail.
    QByteArray upTo(qint64 n);
    bool skip(qint64 n);
    // Pointer to the next n bytes without copying, or nullptr (and failure).
    const char* view(qint64 n);
    void fail() { ok_ = false; }

private:
    bool take(qint64 n);

    const char* data_;
    qsizetype size_;
    qsizetype pos_ = 0;
    bool ok_ = true;
};

// Little-endian writer; the counterpart of ByteReader.
class ByteWriter {
public:
    void u8(uint8_t v) { buf_.append(static_cast<char>(v)); }
    void u16(uint16_t v);
    void u32(uint32_t v);
    void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }
    // Big-endian counterparts (PNG chunks).
    void u32be(uint32_t v);
    void bytes(const QByteArray& b) { buf_.append(b); }
    void bytes(const char* p, qsizetype n) { buf_.append(p, n); }
    void zeros(qsizetype n) { buf_.append(QByteArray(n, '\0')); }
    // Text field of fixed width: the bytes cut to width - 1, NUL-padded.
    void fixedText(const QByteArray& text, int width);

    const QByteArray& data() const { return buf_; }
    QByteArray take() { return std::move(buf_); }
    qsizetype size() const { return buf_.size(); }

private:
    QByteArray buf_;
};

// Serialised list count: u16, or 0xFFFF then u32 from 65535 on.
void WriteArchiveCount(ByteWriter& w, uint32_t count);
uint32_t ReadArchiveCount(ByteReader& r);
