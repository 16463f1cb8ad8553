// Colour conversions through Qt's own ICC support (QColorSpace): it reads the
// matrix and curve profiles cameras and editors embed, and converts a 24 MP
// photo in a fraction of the time its decode takes (figures in the README).

#include "raster/colour_conversion.h"

#include <QMutex>
#include <QMutexLocker>

namespace {

const QColorSpace& Srgb() {
    static const QColorSpace srgb(QColorSpace::SRgb);
    return srgb;
}

bool IsSrgb(const QColorSpace& space) {
    return space.primaries() == QColorSpace::Primaries::SRgb &&
           space.transferFunction() == QColorSpace::TransferFunction::SRgb;
}

// Building a transform reads the profile's curves into tables; a studio's
// photos nearly all carry the same one or two profiles, so the last few
// transforms are kept. Decoders on several threads share the cache.
QColorTransform TransformBetween(const QColorSpace& from, const QColorSpace& to) {
    struct Entry {
        QColorSpace from, to;
        QColorTransform transform;
    };
    static QMutex mutex;
    static QList<Entry> recent;
    constexpr int kKept = 4;
    QMutexLocker lock(&mutex);
    for (const Entry& e : recent)
        if (e.from == from && e.to == to)
            return e.transform;
    Entry entry{from, to, from.transformationToColorSpace(to)};
    if (recent.size() >= kKept)
        recent.removeFirst();
    recent.append(entry);
    return entry.transform;
}

void Apply(QImage& image, const QColorSpace& from, const QColorSpace& to) {
    if (image.isNull() || !from.isValid() || !to.isValid() || from == to)
        return;
    image.applyColorTransform(TransformBetween(from, to));
    image.setColorSpace(QColorSpace());
}

} // namespace

QColorSpace ColourSpaceOfProfile(const QByteArray& iccProfile) {
    if (iccProfile.isEmpty())
        return {};
    return QColorSpace::fromIccProfile(iccProfile);
}

void ConvertToSrgb(QImage& image, const QColorSpace& space) {
    if (!space.isValid() || IsSrgb(space)) {
        image.setColorSpace(QColorSpace()); // no copy: only a change detaches
        return;
    }
    Apply(image, space, Srgb());
}

void ConvertFromSrgb(QImage& image, const QColorSpace& target) {
    if (!target.isValid() || IsSrgb(target))
        return;
    Apply(image, Srgb(), target);
}

QByteArray IccProfileOf(const QColorSpace& space) {
    return space.iccProfile();
}
