#include "compose/face_keeping.h"

#include "raster/raster.h"

#include <algorithm>
#include <cmath>

namespace {

// Room kept around a face, in face heights: the top of the head and the
// hair above it, the chin and the neck below.
constexpr double kRoomAbove = 0.5;
constexpr double kRoomBelow = 0.25;

QRectF WithRoom(const QRectF& face, QSizeF source) {
    const QRectF room =
        face.adjusted(0, -kRoomAbove * face.height(), 0, kRoomBelow * face.height());
    return room & QRectF(QPointF(0, 0), source);
}

bool Fits(const QRectF& box, QSize window) {
    return box.width() <= window.width() && box.height() <= window.height();
}

double Distance(const QRectF& a, const QRectF& b) {
    const QPointF d = a.center() - b.center();
    return std::hypot(d.x(), d.y());
}

// One side of a close-up: a span of the window's length centred on the
// face's room, moved so the face itself stays in it when it can.
void FitSpan(double& low, double& high, double faceLow, double faceHigh, double length) {
    if (high - low <= length)
        return;
    // A face longer than the crop itself is centred: most of it shows.
    double from = faceHigh - faceLow <= length
                      ? std::clamp((low + high - length) / 2, faceHigh - length, faceLow)
                      : (faceLow + faceHigh - length) / 2;
    low = from;
    high = from + length;
}

// A face too large for the crop with its room: as much of the room as the
// crop holds, the face inside it.
QRectF CloseUp(QRectF room, const QRectF& face, QSize window) {
    double left = room.left(), right = room.right(), top = room.top(), bottom = room.bottom();
    FitSpan(left, right, face.left(), face.right(), window.width());
    FitSpan(top, bottom, face.top(), face.bottom(), window.height());
    return QRectF(QPointF(left, top), QPointF(right, bottom));
}

// The part of the photo that must be in view.
QRectF Target(const QList<QRectF>& faces, QSize source, QSize window) {
    QList<QRectF> boxes;
    QRectF all;
    for (const QRectF& face : faces) {
        boxes.append(WithRoom(face, source));
        all |= boxes.back();
    }
    if (Fits(all, window))
        return all;
    // The largest face leads; the others join nearest first while all of
    // them still fit together.
    const auto largest = std::max_element(faces.begin(), faces.end(), [](auto& a, auto& b) {
        return a.width() * a.height() < b.width() * b.height();
    });
    const qsizetype lead = largest - faces.begin();
    if (!Fits(boxes[lead], window))
        return CloseUp(boxes[lead], faces[lead], window);
    QList<qsizetype> others;
    for (qsizetype i = 0; i < faces.size(); ++i)
        if (i != lead)
            others.append(i);
    std::stable_sort(others.begin(), others.end(), [&](qsizetype a, qsizetype b) {
        return Distance(faces[a], faces[lead]) < Distance(faces[b], faces[lead]);
    });
    QRectF group = boxes[lead];
    for (const qsizetype i : others)
        if (Fits(group | boxes[i], window))
            group |= boxes[i];
    return group;
}

// How well a crop window [from, from + length) along one side shows the
// target [low, high): first what of the target it leaves out, then how far
// its middle is from the target's.
struct Fit {
    double missed;
    double offCentre;
    int offset;
    bool operator<(const Fit& o) const {
        if (missed != o.missed)
            return missed < o.missed;
        if (offCentre != o.offCentre)
            return offCentre < o.offCentre;
        return std::abs(offset) < std::abs(o.offset);
    }
};

Fit Judge(int from, int length, double low, double high, int offset) {
    const double missed = std::max(0.0, from - low) + std::max(0.0, high - (from + length));
    const double offCentre = std::abs((from + length / 2.0) - (low + high) / 2.0);
    return Fit{std::round(missed * 1000) / 1000, std::round(offCentre * 1000) / 1000, offset};
}

} // namespace

QList<QRectF> FacesInCopy(const QList<QRect>& faces, QSize whole, QSize copy) {
    QList<QRectF> scaled;
    if (whole.isEmpty() || copy.isEmpty())
        return scaled;
    const double sx = double(copy.width()) / whole.width();
    const double sy = double(copy.height()) / whole.height();
    for (const QRect& f : faces)
        scaled.append(QRectF(f.x() * sx, f.y() * sy, f.width() * sx, f.height() * sy));
    return scaled;
}

CropOffsets FaceKeepingOffsets(QSize source, const Rect& slot, int zoom,
                               const QList<QRectF>& faces) {
    const QRect centred = CropWindowRect(source, slot, zoom, 0, 0);
    if (faces.isEmpty() || centred.isEmpty())
        return {};
    const QRectF target = Target(faces, source, centred.size());

    // Every offset that moves the window is tried, the crop's own arithmetic
    // deciding where the window lands; offsets past the source's edge land
    // where the largest one that fits does and lose on the smaller offset.
    const auto limit = [](int sourceSide, int windowSide) {
        return std::min(3000, int(std::ceil(30.0 * sourceSide / std::max(1, windowSide))) + 2);
    };
    Fit bestX{1e18, 1e18, 0}, bestY{1e18, 1e18, 0};
    for (int o = -limit(source.width(), centred.width());
         o <= limit(source.width(), centred.width()); ++o) {
        const QRect w = CropWindowRect(source, slot, zoom, o, 0);
        if (!w.isEmpty())
            bestX = std::min(bestX, Judge(w.x(), w.width(), target.left(), target.right(), o));
    }
    for (int o = -limit(source.height(), centred.height());
         o <= limit(source.height(), centred.height()); ++o) {
        const QRect w = CropWindowRect(source, slot, zoom, 0, o);
        if (!w.isEmpty())
            bestY = std::min(bestY, Judge(w.y(), w.height(), target.top(), target.bottom(), o));
    }
    return CropOffsets{bestX.offset, bestY.offset};
}
