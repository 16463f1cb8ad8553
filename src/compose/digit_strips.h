#pragma once

#include <QColor>
#include <QImage>

// The number marks of the canvas slots: a 250 x 30 strip of ten 25 x 30
// cells holding the digits "1" to "9" and "0" in seven-segment form, drawn
// in the given colour on a transparent ground. Drawn with paths, so no font
// is needed.
constexpr int kDigitCellWidth = 25;
constexpr int kDigitCellHeight = 30;
constexpr int kDigitCells = 10;

QImage MakeDigitStrip(const QColor& color);
// Red: the current slot. Green: every other slot.
QColor CurrentSlotDigitColor();
QColor OtherSlotDigitColor();

// The centre of segment s (0 = top, 1 = top right, 2 = bottom right,
// 3 = bottom, 4 = bottom left, 5 = top left, 6 = middle) within a cell, and
// whether the digit lights it: lets a check read a cell back.
QPointF DigitSegmentCentre(int segment);
bool DigitLightsSegment(int digit, int segment);
