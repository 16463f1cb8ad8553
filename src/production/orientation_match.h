#pragma once

#include <QList>
#include <QSize>
#include <QString>

class CComposeCanvas;

// Portrait photos belong in portrait slots: smart selection and the album
// draft draw their photos as before, then hand each drawn photo the slot
// whose shape fits it.

enum class Orientation { Portrait, Landscape, Square };

// Within 5 % of each other, width and height make a square, which fits
// either kind of slot.
Orientation OrientationOf(QSize size);

// For each slot, in order, the index of the photo it gets (both lists of
// sizes as long). Portrait slots take portrait photos and landscape slots
// landscape ones, each in the order drawn; slots still without a photo then
// take the square photos, and what is left goes, in drawn order, to the
// square slots and to those no fitting photo was drawn for. A slot keeps the
// photo drawn for it when it fits, so a draw that already fits is unchanged.
QList<int> MatchPhotosToSlots(const QList<QSize>& slotShapes, const QList<QSize>& photoShapes);

// The shape of the slot as the page shows it: its rectangle, turned when
// the slot stands rotated by about a quarter turn.
QSize SlotShape(const CComposeCanvas& canvas, int slot);
// The photo's size as shown (upright), from the working copy cache or the
// file's header; empty when it cannot be read.
QSize PhotoShape(const QString& path);
