#pragma once

#include "compose/slot_placement.h"
#include "compose/template_body.h"
#include "records/customer_task.h"

#include <QColor>
#include <QImage>
#include <QMap>
#include <QString>

// Building real customer folders for the batch worker and export tests:
// template bodies with PNG layers, layout records with JPEG photos, "1.tx".

QImage Solid(int w, int h, QColor color);
QByteArray Png(const QImage& image);
QByteArray Jpeg(const QImage& image);

// A complete 8-bit BMP mask w x h from a function of (x, y), y counted from
// the top of the picture.
template <typename F> QByteArray MaskBmp(int w, int h, F alphaAt);

// A body with a background of the given size and colour, no overlay, and
// rects slot rectangles (each 100 x 100 on the grid, so none is empty).
TemplateBody MakeBody(QSize background, QColor color, int rects);

// A placement whose slot rectangle is r (canvas pixels).
SlotPlacement Placement(const Rect& r, int front = 0);

struct PageSetup {
    QString name;
    int width = 0;
    int height = 0;
    TemplateBody body;
    QMap<uint32_t, QByteArray> photos; // slot -> photo file bytes
    std::array<SlotPlacement, 20> placements = EmptyPlacements();

    static std::array<SlotPlacement, 20> EmptyPlacements();
};

// Folder of a customer in the base folder's task store, created with its
// "1.tx" and one data folder per page. Returns the task-file path.
QString WriteCustomer(const QString& customer, const QList<PageSetup>& pages);
// Writes data<name>/dat for one page (and nothing else).
void WriteLayoutRecordFor(const QString& customerFolder, const PageSetup& page);
QString CustomerFolderOf(const QString& customer);

// Removes the "dpi" value from the test run's profile.
void ForgetDpiSetting();

// The average grey of a rectangle and its spread (max - min of the grey).
struct GreyStats {
    double mean = 0;
    int spread = 0;
};
GreyStats GreyOf(const QImage& image, const QRect& area);

template <typename F> QByteArray MaskBmp(int w, int h, F alphaAt) {
    const int row = (w + 3) / 4 * 4;
    QByteArray bmp(1078 + row * h, '\0');
    auto put32 = [&](int at, int32_t v) {
        for (int i = 0; i < 4; ++i)
            bmp[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(2, bmp.size());
    put32(10, 1078);
    put32(14, 40);
    put32(18, w);
    put32(22, h);
    bmp[26] = 1;
    bmp[28] = 8;
    put32(46, 256);
    for (int i = 0; i < 256; ++i)
        for (int c = 0; c < 3; ++c)
            bmp[54 + 4 * i + c] = static_cast<char>(i);
    // Rows are stored bottom-up.
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            bmp[1078 + (h - 1 - y) * row + x] = static_cast<char>(alphaAt(x, y));
    return bmp;
}
