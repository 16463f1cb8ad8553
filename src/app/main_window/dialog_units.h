#pragma once

#include <QRect>
#include <QSize>

// The dialogs' layouts are measured in dialog units of their 10-point 宋体
// font: one unit is 1.5 pixels across and 1.625 pixels down. Positions are
// rounded to the nearest pixel.
inline int DialogUnitsAcross(int units) {
    return (units * 3 + 1) / 2;
}
inline int DialogUnitsDown(int units) {
    return (units * 13 + 4) / 8;
}
inline QRect DialogRect(int x, int y, int w, int h) {
    return {DialogUnitsAcross(x), DialogUnitsDown(y), DialogUnitsAcross(w), DialogUnitsDown(h)};
}
inline QSize DialogSize(int w, int h) {
    return {DialogUnitsAcross(w), DialogUnitsDown(h)};
}
