#include "production/orientation_match.h"

#include "compose/compose_canvas.h"
#include "raster/working_copy_cache.h"

#include <QImageReader>
#include <cmath>
#include <cstdlib>

Orientation OrientationOf(QSize size) {
    const int w = size.width(), h = size.height();
    if (w <= 0 || h <= 0 || std::abs(w - h) * 20 <= std::max(w, h))
        return Orientation::Square;
    return w > h ? Orientation::Landscape : Orientation::Portrait;
}

QList<int> MatchPhotosToSlots(const QList<QSize>& slotShapes, const QList<QSize>& photoShapes) {
    const qsizetype n = std::min(slotShapes.size(), photoShapes.size());
    QList<int> given(n, -1);
    QList<bool> taken(n, false);
    QList<Orientation> slotKind, photoKind;
    for (qsizetype i = 0; i < n; ++i) {
        slotKind.append(OrientationOf(slotShapes[i]));
        photoKind.append(OrientationOf(photoShapes[i]));
    }
    const auto give = [&](qsizetype slot, qsizetype photo) {
        given[slot] = static_cast<int>(photo);
        taken[photo] = true;
    };
    // A photo already drawn for a slot it fits stays there.
    for (qsizetype s = 0; s < n; ++s)
        if (slotKind[s] != Orientation::Square && photoKind[s] == slotKind[s])
            give(s, s);
    const auto fill = [&](const auto& wanted) {
        for (qsizetype s = 0; s < n; ++s) {
            if (given[s] >= 0)
                continue;
            for (qsizetype p = 0; p < n; ++p) {
                if (!taken[p] && wanted(slotKind[s], photoKind[p])) {
                    give(s, p);
                    break;
                }
            }
        }
    };
    fill([](Orientation slot, Orientation photo) {
        return slot != Orientation::Square && photo == slot;
    });
    fill([](Orientation slot, Orientation photo) {
        return slot != Orientation::Square && photo == Orientation::Square;
    });
    // Square slots first keep the photo drawn for them, then take the rest.
    for (qsizetype s = 0; s < n; ++s)
        if (given[s] < 0 && slotKind[s] == Orientation::Square && !taken[s])
            give(s, s);
    fill([](Orientation, Orientation) { return true; });
    return given;
}

QSize SlotShape(const CComposeCanvas& canvas, int slot) {
    const SlotPlacement& p = canvas.placement(slot);
    QSize shape(p.width(), p.height());
    const int turn = std::abs(p.angle) % 180;
    if (turn > 45 && turn < 135)
        shape.transpose();
    return shape;
}

QSize PhotoShape(const QString& path) {
    if (const auto key = WorkingCopyCache::KeyOf(path)) {
        const QImage copy = WorkingCopyCache::Shared().Find(*key);
        if (!copy.isNull())
            return copy.size();
    }
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    QSize size = reader.size();
    if (!size.isValid())
        return {};
    if (reader.transformation() & QImageIOHandler::TransformationRotate90)
        size.transpose();
    return size;
}
