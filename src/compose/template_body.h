#pragma once

#include <QByteArray>
#include <QList>
#include <array>
#include <cstdint>

#include "raster/rect.h"

// Template slot rectangles are Rects on the 1000 x 750 grid.
using TemplateRect = Rect;

constexpr int kSlotCount = 20;
constexpr uint8_t kTemplateMarker = 200;
using SlotValues = std::array<int32_t, kSlotCount>;

// The decoded fields of a template body (the content of a ".temp" package).
// Images and masks stay encoded, as they are stored.
struct TemplateBody {
    QByteArray preview;
    uint32_t reservedAfterPreview = 0;
    QByteArray pageSizeBlock; // starts with i32 width, i32 height (0.01 cm)
    int32_t width = 0;        // 0.01 cm
    int32_t height = 0;       // 0.01 cm
    QByteArray overlay;       // empty: no overlay
    QByteArray background;
    QList<uint32_t> maskSizes;
    QList<QByteArray> masks;   // one per mask size, empty where the size is 0
    QList<TemplateRect> rects; // as stored, empty ones included
    SlotValues reservedSlots{};
    SlotValues front{};
    SlotValues reservedBlock{};
    SlotValues transparency{};
    SlotValues shear{};
    SlotValues angle{};
    std::array<uint32_t, kSlotCount> borderColor{};

    // The rectangles that make slots: empty ones removed (later ones move
    // down), at most 20 since the canvas has 20 slots.
    QList<TemplateRect> SlotRects() const;
    // Mask bytes for a slot position, empty when it has none.
    QByteArray MaskFor(int slot) const;
};

enum class BodyStatus { Ok, BadMarker, Truncated };

// Parses a whole body. Never reads outside bytes; a length that runs past the
// end gives Truncated, and body then holds what was read before it.
BodyStatus ParseTemplateBody(const QByteArray& bytes, TemplateBody& body);
// Just the preview image of a package, without looking at the marker.
QByteArray ReadPreviewBytes(const QByteArray& bytes);
// Writes a body in the stored layout.
QByteArray SerializeTemplateBody(const TemplateBody& body);

// A saved page's layout record "dat": the template body it was made from and
// the photo files of its slots.
struct LayoutPhoto {
    uint32_t slot = 0;
    QByteArray bytes;
};

struct LayoutRecord {
    QByteArray body;
    QList<LayoutPhoto> photos; // slot order as stored
};

// False when the record is cut short anywhere; record then holds what was
// complete (the body when it was whole, the photo entries that were whole).
bool ParseLayoutRecord(const QByteArray& bytes, LayoutRecord& record);
// The same, with the body and the photos pointing into bytes instead of
// copied out of them (megabytes of photos): valid only as long as bytes
// lives unchanged.
bool ParseLayoutRecordInPlace(const QByteArray& bytes, LayoutRecord& record);
QByteArray SerializeLayoutRecord(const LayoutRecord& record);
