#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

// Placement of one photo slot. The layout is a file format (it is stored byte
// for byte in the customer task file), so it is read and written as bytes.
struct SlotPlacement {
    int32_t angle;        // degrees, clockwise on screen
    int32_t shear;        // see the shear rules of slot drawing
    int32_t mirrorX;      // non-zero: mirrored left-right
    int32_t mirrorY;      // non-zero: mirrored top-bottom
    int32_t front;        // non-zero: above the overlay image
    int32_t transparency; // 0 opaque .. 255
    int32_t reservedRect[4];
    int32_t left, top, right, bottom; // display pixels of the canvas
    int32_t reserved;
    int32_t offsetX; // thirtieths of the crop width
    int32_t offsetY; // thirtieths of the crop height
    int32_t zoom;
    uint32_t borderColor; // 0x00BBGGRR, 0 = none
    char photoName[100];  // GBK, NUL-terminated, zero-padded

    static constexpr int kSize = 176;
    static constexpr int kNameBytes = 100;

    static SlotPlacement Zero();
    static SlotPlacement FromBytes(const char* bytes); // kSize bytes
    QByteArray ToBytes() const;

    int width() const { return right - left; }
    int height() const { return bottom - top; }

    // Stores the name in GBK, cut to 99 bytes on a whole character.
    void SetPhotoName(const QString& name);
    QString PhotoName() const;
};

static_assert(sizeof(SlotPlacement) == 176, "SlotPlacement is a 176-byte record");
static_assert(offsetof(SlotPlacement, angle) == 0);
static_assert(offsetof(SlotPlacement, shear) == 4);
static_assert(offsetof(SlotPlacement, mirrorX) == 8);
static_assert(offsetof(SlotPlacement, mirrorY) == 12);
static_assert(offsetof(SlotPlacement, front) == 16);
static_assert(offsetof(SlotPlacement, transparency) == 20);
static_assert(offsetof(SlotPlacement, reservedRect) == 24);
static_assert(offsetof(SlotPlacement, left) == 40);
static_assert(offsetof(SlotPlacement, reserved) == 56);
static_assert(offsetof(SlotPlacement, offsetX) == 60);
static_assert(offsetof(SlotPlacement, offsetY) == 64);
static_assert(offsetof(SlotPlacement, zoom) == 68);
static_assert(offsetof(SlotPlacement, borderColor) == 72);
static_assert(offsetof(SlotPlacement, photoName) == 76);
