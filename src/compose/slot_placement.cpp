#include "compose/slot_placement.h"

#include "common/byte_io.h"
#include "common/gbk.h"

#include <cstring>

namespace {
// Everything before the photo name is a 32-bit integer.
constexpr int kIntFields = offsetof(SlotPlacement, photoName) / 4;
} // namespace

// Fields are read one by one in little-endian order so the record's bytes are
// the same on any host.
SlotPlacement SlotPlacement::Zero() {
    SlotPlacement p;
    std::memset(&p, 0, sizeof p);
    return p;
}

SlotPlacement SlotPlacement::FromBytes(const char* bytes) {
    SlotPlacement p = Zero();
    ByteReader r(bytes, kSize);
    auto* raw = reinterpret_cast<char*>(&p);
    for (int i = 0; i < kIntFields; ++i) {
        const int32_t v = r.i32();
        std::memcpy(raw + 4 * i, &v, 4);
    }
    std::memcpy(p.photoName, r.view(kNameBytes), kNameBytes);
    return p;
}

QByteArray SlotPlacement::ToBytes() const {
    ByteWriter w;
    const auto* raw = reinterpret_cast<const char*>(this);
    for (int i = 0; i < kIntFields; ++i) {
        int32_t v;
        std::memcpy(&v, raw + 4 * i, 4);
        w.i32(v);
    }
    w.bytes(photoName, kNameBytes);
    return w.take();
}

void SlotPlacement::SetPhotoName(const QString& name) {
    std::memset(photoName, 0, kNameBytes);
    const QByteArray gbk = CutGbk(ToGbk(name), kNameBytes - 1);
    std::memcpy(photoName, gbk.constData(), static_cast<size_t>(gbk.size()));
}

QString SlotPlacement::PhotoName() const {
    return FromGbk(QByteArray(photoName, static_cast<int>(strnlen(photoName, kNameBytes))));
}
