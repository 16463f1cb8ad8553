#include "common/column_layout.h"

#include "common/byte_io.h"

QByteArray EncodeColumnLayout(const ColumnLayout& columns) {
    ByteWriter w;
    w.i32(static_cast<int32_t>(columns.size()));
    for (const ColumnState& c : columns) {
        w.i32(c.width);
        w.i32(c.order);
    }
    return w.take();
}

std::optional<ColumnLayout> DecodeColumnLayout(const QByteArray& bytes) {
    ByteReader r(bytes);
    const int32_t count = r.i32();
    // Checked against the bytes present before anything is allocated, so a
    // damaged count cannot ask for gigabytes.
    if (!r.ok() || count < 0 || r.remaining() / 8 < count)
        return std::nullopt;
    ColumnLayout columns(static_cast<size_t>(count));
    std::vector<bool> placeTaken(static_cast<size_t>(count), false);
    for (ColumnState& c : columns) {
        c.width = r.i32();
        c.order = r.i32();
        if (c.width < 0 || c.order < 0 || c.order >= count || placeTaken[c.order])
            return std::nullopt;
        placeTaken[c.order] = true;
    }
    if (!r.ok())
        return std::nullopt;
    return columns;
}
