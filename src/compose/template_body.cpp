#include "compose/template_body.h"

#include "common/byte_io.h"

QList<TemplateRect> TemplateBody::SlotRects() const {
    QList<TemplateRect> out;
    for (const TemplateRect& r : rects) {
        if (r.isEmpty())
            continue;
        if (out.size() == kSlotCount)
            break;
        out.append(r);
    }
    return out;
}

QByteArray TemplateBody::MaskFor(int slot) const {
    if (slot < 0 || slot >= masks.size())
        return {};
    return masks[slot];
}

namespace {

bool ReadBlock(ByteReader& r, SlotValues& values) {
    for (int32_t& v : values)
        v = r.i32();
    return r.ok();
}

} // namespace

BodyStatus ParseTemplateBody(const QByteArray& bytes, TemplateBody& body) {
    body = TemplateBody();
    ByteReader r(bytes);
    if (r.u8() != kTemplateMarker || !r.ok())
        return BodyStatus::BadMarker;
    body.preview = r.bytes(r.u32());
    body.reservedAfterPreview = r.u32();
    body.pageSizeBlock = r.bytes(r.u32());
    if (!r.ok())
        return BodyStatus::Truncated;
    ByteReader size(body.pageSizeBlock);
    body.width = size.i32();
    body.height = size.i32();
    body.overlay = r.bytes(r.u32());
    body.background = r.bytes(r.u32());
    if (!r.ok())
        return BodyStatus::Truncated;

    const QByteArray sizeList = r.bytes(r.u32());
    if (!r.ok())
        return BodyStatus::Truncated;
    ByteReader sizes(sizeList);
    const uint32_t maskCount = ReadArchiveCount(sizes);
    // Each size takes four bytes, which bounds the count before any loop.
    if (!sizes.ok() || maskCount > sizes.remaining() / 4)
        return BodyStatus::Truncated;
    for (uint32_t i = 0; i < maskCount; ++i)
        body.maskSizes.append(sizes.u32());
    for (uint32_t size : body.maskSizes) {
        body.masks.append(size ? r.bytes(size) : QByteArray());
        if (!r.ok())
            return BodyStatus::Truncated;
    }

    const QByteArray rectList = r.bytes(r.u32());
    if (!r.ok())
        return BodyStatus::Truncated;
    ByteReader rects(rectList);
    const uint32_t rectCount = ReadArchiveCount(rects);
    if (!rects.ok() || rectCount > rects.remaining() / 16)
        return BodyStatus::Truncated;
    for (uint32_t i = 0; i < rectCount; ++i) {
        TemplateRect t;
        t.left = rects.i32();
        t.top = rects.i32();
        t.right = rects.i32();
        t.bottom = rects.i32();
        body.rects.append(t);
    }

    ReadBlock(r, body.reservedSlots);
    ReadBlock(r, body.front);
    ReadBlock(r, body.reservedBlock);
    ReadBlock(r, body.transparency);
    ReadBlock(r, body.shear);
    ReadBlock(r, body.angle);
    for (uint32_t& c : body.borderColor)
        c = r.u32();
    return r.ok() ? BodyStatus::Ok : BodyStatus::Truncated;
}

QByteArray ReadPreviewBytes(const QByteArray& bytes) {
    ByteReader r(bytes);
    r.skip(1);
    return r.bytes(r.u32());
}

QByteArray SerializeTemplateBody(const TemplateBody& body) {
    ByteWriter w;
    w.u8(kTemplateMarker);
    w.u32(static_cast<uint32_t>(body.preview.size()));
    w.bytes(body.preview);
    w.u32(body.reservedAfterPreview);
    QByteArray sizeBlock = body.pageSizeBlock;
    if (sizeBlock.size() < 8) {
        ByteWriter s;
        s.i32(body.width);
        s.i32(body.height);
        sizeBlock = s.take();
    }
    w.u32(static_cast<uint32_t>(sizeBlock.size()));
    w.bytes(sizeBlock);
    w.u32(static_cast<uint32_t>(body.overlay.size()));
    w.bytes(body.overlay);
    w.u32(static_cast<uint32_t>(body.background.size()));
    w.bytes(body.background);

    ByteWriter sizes;
    WriteArchiveCount(sizes, static_cast<uint32_t>(body.masks.size()));
    for (const QByteArray& m : body.masks)
        sizes.u32(static_cast<uint32_t>(m.size()));
    w.u32(static_cast<uint32_t>(sizes.size()));
    w.bytes(sizes.data());
    for (const QByteArray& m : body.masks)
        w.bytes(m);

    ByteWriter rects;
    WriteArchiveCount(rects, static_cast<uint32_t>(body.rects.size()));
    for (const TemplateRect& t : body.rects) {
        rects.i32(t.left);
        rects.i32(t.top);
        rects.i32(t.right);
        rects.i32(t.bottom);
    }
    w.u32(static_cast<uint32_t>(rects.size()));
    w.bytes(rects.data());

    for (const SlotValues* block : {&body.reservedSlots, &body.front, &body.reservedBlock,
                                    &body.transparency, &body.shear, &body.angle})
        for (int32_t v : *block)
            w.i32(v);
    for (uint32_t c : body.borderColor)
        w.u32(c);
    return w.take();
}

namespace {

QByteArray Take(ByteReader& r, qint64 n, bool inPlace) {
    if (!inPlace)
        return r.bytes(n);
    const char* at = r.view(n);
    return at ? QByteArray::fromRawData(at, static_cast<qsizetype>(n)) : QByteArray();
}

bool ParseRecord(const QByteArray& bytes, LayoutRecord& record, bool inPlace) {
    record = LayoutRecord();
    ByteReader r(bytes);
    record.body = Take(r, r.u32(), inPlace);
    if (!r.ok())
        return false;
    const uint32_t count = r.u32();
    // An entry takes at least eight bytes, which bounds the loop.
    if (!r.ok() || count > r.remaining() / 8)
        return false;
    for (uint32_t i = 0; i < count; ++i) {
        LayoutPhoto photo;
        photo.slot = r.u32();
        photo.bytes = Take(r, r.u32(), inPlace);
        if (!r.ok())
            return false;
        record.photos.append(photo);
    }
    return true;
}

} // namespace

bool ParseLayoutRecord(const QByteArray& bytes, LayoutRecord& record) {
    return ParseRecord(bytes, record, false);
}

bool ParseLayoutRecordInPlace(const QByteArray& bytes, LayoutRecord& record) {
    return ParseRecord(bytes, record, true);
}

QByteArray SerializeLayoutRecord(const LayoutRecord& record) {
    ByteWriter w;
    w.u32(static_cast<uint32_t>(record.body.size()));
    w.bytes(record.body);
    w.u32(static_cast<uint32_t>(record.photos.size()));
    for (const LayoutPhoto& p : record.photos) {
        w.u32(p.slot);
        w.u32(static_cast<uint32_t>(p.bytes.size()));
        w.bytes(p.bytes);
    }
    return w.take();
}
