#pragma once

#include <QImage>
#include <QPainterPath>
#include <QSizeF>
#include <QString>

// Slot shapes of the demo masks. A mask file is named after its shape with
// the slot number after it ("heart2.png"), so one description names both.
QString ShapeOfMaskFile(const QString& fileName);
bool IsKnownShape(const QString& shape);
// The shape filling a box of the given size (the slot's own proportions).
// "rect" is the whole box, the shape of a slot without mask.
QPainterPath ShapePath(const QString& shape, QSizeF size);
// A grey mask: white where the photo shows, black where it is cut away.
QImage DrawMask(const QString& shape, QSize size);
