// The libjpeg-turbo decoder on its own: the header, every reduction and
// output layout, then the picture encoded as a page and decoded again.
// The first byte chooses the reduction and layout; the rest is the file.

#include "fuzz_support.h"

#include "raster/jpeg_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    static const int kDenominators[] = {1, 2, 4, 8};
    static const QImage::Format kFormats[] = {QImage::Format_RGB32, QImage::Format_ARGB32,
                                              QImage::Format_ARGB32_Premultiplied};
    const int denominator = kDenominators[data[0] % 4];
    const QImage::Format format = kFormats[(data[0] / 4) % 3];
    JpegDecoder decoder(InputBytes(data + 1, size - 1));
    if (!decoder.ok())
        return 0;
    const QSize expected = decoder.shownSizeAt(denominator);
    const QImage image = decoder.decode(denominator, format, qint64(kFuzzDecodeLimitMb) << 20);
    if (image.isNull())
        return 0;
    FuzzExpect(image.size() == expected, "the decoded picture to have the size told before");
    FuzzExpect(decoder.decode(denominator, format, qint64(kFuzzDecodeLimitMb) << 20).isNull(),
               "a second decode of the same file to be refused");
    JpegPageOptions options;
    options.dpi = 300;
    JpegDecoder page(EncodeJpegPage(image, options));
    FuzzExpect(page.ok() && page.storedSize() == image.size(),
               "a page encoded from the picture to decode at its size");
    return 0;
}
