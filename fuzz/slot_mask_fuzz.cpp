// A slot mask from arbitrary BMP bytes applied to a slot image. The first
// two bytes give the image's size (1 to 64 each side) and the third its
// format; the rest is the mask.

#include "fuzz_support.h"

#include "compose/slot_drawing.h"

#include <QImage>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3)
        return 0;
    const int w = data[0] % 64 + 1;
    const int h = data[1] % 64 + 1;
    static const QImage::Format kFormats[] = {QImage::Format_ARGB32_Premultiplied,
                                              QImage::Format_ARGB32, QImage::Format_RGB32};
    QImage image(w, h, kFormats[data[2] % 3]);
    image.fill(0x80406080);
    ApplySlotMask(image, InputBytes(data + 3, size - 3));
    FuzzExpect(image.size() == QSize(w, h), "the slot image to keep its size");
    return 0;
}
