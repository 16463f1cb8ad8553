#pragma once

#include <QList>
#include <QRect>
#include <QString>

// One photo slot of a demo page as its description states it: the rectangle
// on the 1000 x 750 grid that spans the whole page, and the template values.
struct SlotDescription {
    int left = 0, top = 0, right = 0, bottom = 0; // grid units, right/bottom exclusive
    QString mask;                                 // image file, empty: no mask
    int front = 0;
    int transparency = 0;
    int shear = 0;
    int angle = 0;
    QString border; // "#RRGGBB", empty: none
};

// A demo page description, the document that taoban-cli pack-template packs.
// Image names are relative to the JSON file's folder.
struct PageDescription {
    double widthCm = 0;
    double heightCm = 0;
    QString preview;
    QString overlay; // empty: the page has no overlay
    QString background;
    QList<SlotDescription> slotList;
};

// Reads and checks a description; on failure error says what is wrong.
bool ReadPageDescription(const QString& path, PageDescription& page, QString& error);
