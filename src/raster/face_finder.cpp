#include "raster/face_finder.h"

#include "raster/raster.h"

#include <dlib/image_processing/frontal_face_detector.h>

#include <algorithm>
#include <cmath>
#include <exception>

namespace {

// The detector keeps scratch images between calls, so each thread that scans
// (the thumbnail workers, the window's thread) has its own; building one
// takes a few milliseconds, once per thread.
dlib::frontal_face_detector& Detector() {
    thread_local dlib::frontal_face_detector detector = dlib::get_frontal_face_detector();
    return detector;
}

// The picture in grey, scaled so that its longer side is scanSide.
dlib::array2d<unsigned char> ScanImage(const QImage& picture, int scanSide) {
    const int longer = std::max(picture.width(), picture.height());
    const double scale = double(scanSide) / double(longer);
    const QSize size(std::max(1, int(std::lround(picture.width() * scale))),
                     std::max(1, int(std::lround(picture.height() * scale))));
    const QImage grey = picture.convertToFormat(QImage::Format_Grayscale8)
                            .scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    dlib::array2d<unsigned char> image(grey.height(), grey.width());
    for (int y = 0; y < grey.height(); ++y)
        std::copy_n(grey.constScanLine(y), grey.width(), &image[y][0]);
    return image;
}

} // namespace

QList<QRect> FindFacesInPicture(const QImage& picture, QSize whole, int scanSide) {
    QList<QRect> faces;
    if (picture.isNull() || whole.isEmpty() || scanSide <= 0)
        return faces;
    try {
        const dlib::array2d<unsigned char> image = ScanImage(picture, scanSide);
        const std::vector<dlib::rectangle> found = Detector()(image);
        const double sx = double(whole.width()) / double(image.nc());
        const double sy = double(whole.height()) / double(image.nr());
        const QRect bounds(QPoint(0, 0), whole);
        for (const dlib::rectangle& r : found) {
            // dlib's right and bottom are inclusive.
            const QRect face(
                QPoint(int(std::lround(r.left() * sx)), int(std::lround(r.top() * sy))),
                QPoint(int(std::lround((r.right() + 1) * sx)) - 1,
                       int(std::lround((r.bottom() + 1) * sy)) - 1));
            const QRect inside = face & bounds;
            if (!inside.isEmpty())
                faces.append(inside);
        }
    } catch (const std::exception&) {
        // A scan that fails finds nothing: the photo is then placed centred.
        faces.clear();
    }
    return faces;
}

bool ReducedCoversFaceScan(QSize reduced, QSize whole) {
    const int wanted = std::min(kFaceScanSide * 3 / 4, std::max(whole.width(), whole.height()));
    return std::max(reduced.width(), reduced.height()) >= wanted;
}

QList<QRect> FindFacesInPhoto(const QByteArray& bytes) {
    QSize whole;
    const QImage picture = DecodeBitmapReduced(bytes, [&whole](QSize reduced, QSize shown) {
        whole = shown;
        return ReducedCoversFaceScan(reduced, shown);
    });
    if (!whole.isValid())
        whole = picture.size();
    return FindFacesInPicture(picture, whole);
}
