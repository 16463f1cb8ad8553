#include "sample_photos.h"

#include "scene.h"

#include <QBuffer>
#include <QImageWriter>
#include <QTransform>

namespace {

// 4240 x 2832 is a 12 MP camera frame.
const QSize kLandscape(4240, 2832);
const QSize kPortrait(2832, 4240);

void AppendU16BigEndian(QByteArray& out, int v) {
    out += static_cast<char>((v >> 8) & 0xFF);
    out += static_cast<char>(v & 0xFF);
}

} // namespace

const QList<SamplePhoto>& SamplePhotos() {
    static const QList<SamplePhoto> photos{
        {"样片01.jpg", kLandscape, 0, 0}, {"样片02.jpg", kPortrait, 1, 0},
        {"样片03.jpg", kPortrait, 2, 6},  {"样片04.jpg", kLandscape, 4, 1},
        {"样片05.jpg", kPortrait, 3, 8},  {"样片06.jpg", kLandscape, 5, 0},
        {"样片07.jpg", kPortrait, 0, 0},  {"样片08.jpg", kLandscape, 1, 0},
    };
    return photos;
}

QByteArray WithExifOrientation(const QByteArray& jpeg, int orientation) {
    // Little-endian TIFF header, one IFD with one entry: tag 0x0112
    // (orientation), type 3 (SHORT), count 1, the value in the entry itself.
    const char tiff[] = {'I',
                         'I',
                         0x2A,
                         0,
                         8,
                         0,
                         0,
                         0,
                         1,
                         0,
                         0x12,
                         0x01,
                         3,
                         0,
                         1,
                         0,
                         0,
                         0,
                         static_cast<char>(orientation),
                         0,
                         0,
                         0,
                         0,
                         0,
                         0,
                         0};
    QByteArray payload("Exif\0\0", 6);
    payload.append(tiff, sizeof(tiff));
    QByteArray segment("\xFF\xE1", 2);
    AppendU16BigEndian(segment, payload.size() + 2);
    segment += payload;

    // After SOI, and after the JFIF APP0 segment when there is one.
    qsizetype at = 2;
    if (jpeg.size() > 6 && static_cast<uchar>(jpeg[2]) == 0xFF &&
        static_cast<uchar>(jpeg[3]) == 0xE0)
        at = 4 + ((static_cast<uchar>(jpeg[4]) << 8) | static_cast<uchar>(jpeg[5]));
    return jpeg.left(at) + segment + jpeg.mid(at);
}

QByteArray EncodeSamplePhoto(const SamplePhoto& photo) {
    QImage image = MakeScene(photo.upright, photo.variant);
    // Orientation 6 is shown turned a quarter clockwise, so the camera stored
    // it a quarter anticlockwise; 8 the other way round.
    if (photo.orientation == 6)
        image = image.transformed(QTransform().rotate(-90));
    else if (photo.orientation == 8)
        image = image.transformed(QTransform().rotate(90));
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(88);
    if (!writer.write(image))
        return {};
    return photo.orientation ? WithExifOrientation(jpeg, photo.orientation) : jpeg;
}
