#include "bench_workload.h"

#include "common/atomic_file.h"
#include "compose/canvas_size_file.h"
#include "compose/template_body.h"
#include "raster/raster.h"
#include "records/customer_task.h"
#include "records/workspace_paths.h"
#include "templates/mask_bmp.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QRandomGenerator>

#include <unistd.h>

QImage CameraPhoto(QSize size, quint32 seed) {
    QImage image(size, QImage::Format_RGB32);
    QRandomGenerator random(seed);
    const int w = size.width(), h = size.height();
    const int hue = static_cast<int>(seed * 47 % 360);
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int noise = static_cast<int>(random.bounded(17)) - 8;
            const int r = qBound(0, 60 + 150 * x / w + noise, 255);
            const int g = qBound(0, 80 + 120 * y / h + noise, 255);
            const int b = qBound(0, 200 - 120 * (x + y) / (w + h) + noise, 255);
            line[x] = qRgb(r, g, b);
        }
    }
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 12; ++i) {
        p.setBrush(QColor::fromHsv((hue + 30 * i) % 360, 120, 220, 160));
        p.setPen(Qt::NoPen);
        const int d = w / 6 + static_cast<int>(random.bounded(w / 5));
        p.drawEllipse(static_cast<int>(random.bounded(w)) - d / 2,
                      static_cast<int>(random.bounded(h)) - d / 2, d, d);
    }
    return image;
}

namespace {

QImage Layer(QSize size, QColor color) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(color);
    return image;
}

// An overlay with a transparent window over each of the grid rectangles.
QByteArray OverlayWithWindows(QSize size, const QList<TemplateRect>& rects) {
    QImage overlay = Layer(size, QColor(250, 245, 235));
    QPainter p(&overlay);
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    for (const TemplateRect& r : rects)
        p.fillRect(QRect(r.left * size.width() / 1000, r.top * size.height() / 750,
                         r.width() * size.width() / 1000 - 8, r.height() * size.height() / 750 - 8),
                   Qt::transparent);
    p.end();
    return EncodeImageBytes(overlay, "PNG");
}

QByteArray OvalMask() {
    QImage mask(200, 200, QImage::Format_ARGB32);
    mask.fill(Qt::black);
    QPainter p(&mask);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(Qt::white);
    p.drawEllipse(10, 10, 180, 180);
    p.end();
    return EncodeMaskBmp(mask);
}

TemplateBody CanvasTemplate() {
    TemplateBody body;
    body.width = 4000;
    body.height = 3000;
    body.preview = EncodeImageBytes(Layer({400, 300}, Qt::gray), "JPEG", 80);
    for (int i = 0; i < 8; ++i) {
        const int col = i % 4, row = i / 4;
        body.rects.append(
            TemplateRect{20 + 245 * col, 20 + 365 * row, 245 + 245 * col, 365 + 365 * row});
    }
    body.background = EncodeImageBytes(Layer({1000, 750}, QColor(230, 220, 200)), "PNG");
    body.overlay = OverlayWithWindows({1000, 750}, body.rects);
    body.masks = {QByteArray(), OvalMask(), QByteArray(), QByteArray(), OvalMask()};
    body.angle[2] = 8;
    body.angle[5] = -12;
    body.shear[5] = 20;
    body.transparency[3] = 90;
    body.transparency[6] = 160;
    body.front[6] = 1;
    body.front[7] = 1;
    body.borderColor[0] = 0x00FFFFFF;
    body.borderColor[5] = 0x003050A0;
    return body;
}

} // namespace

BenchWorkload MakeBenchWorkload(const QString& folder, QSize photoSize) {
    BenchWorkload w;
    w.folder = folder;
    QDir().mkpath(folder);
    for (int i = 0; i < 4; ++i) {
        const QString path = QStringLiteral("%1/photo%2.jpg").arg(folder).arg(i + 1);
        WriteFileAtomic(path, EncodeImageBytes(CameraPhoto(photoSize, 11 + i), "JPEG", 92));
        w.photos.append(path);
    }
    w.smallPhoto = folder + "/small.jpg";
    WriteFileAtomic(w.smallPhoto, EncodeImageBytes(CameraPhoto({1600, 1200}, 99), "JPEG", 90));
    w.canvasTemplate = folder + "/canvas.temp";
    WriteFileAtomic(w.canvasTemplate, SerializeTemplateBody(CanvasTemplate()));

    // A 30 x 30 cm page at 300 dpi with four photo slots, composed on a
    // 1000 x 750 canvas, whose square page area is 750 x 750 from x = 125.
    TemplateBody body;
    body.width = 3000;
    body.height = 3000;
    body.preview = EncodeImageBytes(Layer({300, 300}, Qt::gray), "JPEG", 80);
    body.rects = {TemplateRect{20, 20, 490, 365}, TemplateRect{510, 20, 980, 365},
                  TemplateRect{20, 385, 490, 730}, TemplateRect{510, 385, 980, 730}};
    body.background = EncodeImageBytes(Layer({1200, 1200}, QColor(240, 232, 220)), "PNG");
    body.overlay = OverlayWithWindows({1200, 1200}, body.rects);
    body.masks = {QByteArray(), QByteArray(), QByteArray(), OvalMask()};
    body.angle[1] = 6;

    const int side = 30 * 11811 / 100;
    w.batchPage = QSize(side, side);
    const QString customer = folder + "/套版缓存/bench";
    QDir().mkpath(customer);
    auto page = std::make_unique<TaskPage>();
    page->SetName("P");
    page->width = side;
    page->height = side;
    LayoutRecord record;
    record.body = SerializeTemplateBody(body);
    const Rect slotRects[4] = {
        {10, 10, 365, 365}, {385, 10, 740, 365}, {10, 385, 365, 740}, {385, 385, 740, 740}};
    for (int s = 0; s < 4; ++s) {
        SlotPlacement& p = page->placements[s];
        p = SlotPlacement::Zero();
        p.left = slotRects[s].left;
        p.top = slotRects[s].top;
        p.right = slotRects[s].right;
        p.bottom = slotRects[s].bottom;
        p.angle = body.angle[s];
        p.borderColor = s == 0 ? 0x00FFFFFF : 0;
        QByteArray bytes;
        ReadWholeFile(w.photos[s], bytes);
        record.photos.append(LayoutPhoto{static_cast<uint32_t>(s), bytes});
    }
    const QString data = PageDataFolder(customer, "P");
    QDir().mkpath(data);
    WriteFileAtomic(data + "/dat", SerializeLayoutRecord(record));
    WriteCanvasSizeFile(data, QSize(1000, 750));
    CustomerTask task;
    task.SetPath(TaskFilePath(customer));
    task.pages.push_back(std::move(page));
    task.Save();
    w.batchTaskPath = task.Path();
    return w;
}

QString MakeAlbumTask(const BenchWorkload& w, int pages) {
    CustomerTask source;
    source.Load(w.batchTaskPath);
    const QString customer = w.folder + "/套版缓存/album";
    QDir().mkpath(customer);
    const QString sourceData = PageDataFolder(QFileInfo(w.batchTaskPath).path(), "P");
    CustomerTask album;
    album.SetPath(TaskFilePath(customer));
    for (int i = 0; i < pages; ++i) {
        auto page = std::make_unique<TaskPage>(*source.pages.front());
        const QString name = QStringLiteral("P%1").arg(i + 1);
        page->SetName(name);
        const QString data = PageDataFolder(customer, name);
        QDir().mkpath(data);
        QFile::remove(data + "/dat");
        if (link(QFile::encodeName(sourceData + "/dat").constData(),
                 QFile::encodeName(data + "/dat").constData()) != 0)
            QFile::copy(sourceData + "/dat", data + "/dat");
        WriteCanvasSizeFile(data, QSize(1000, 750));
        album.pages.push_back(std::move(page));
    }
    album.Save();
    return album.Path();
}

QString MakeTemplateLibrary(const QString& folder, int sets, int pages) {
    const QString root = folder + "/模板";
    for (int s = 0; s < sets; ++s) {
        const QString set = QStringLiteral("%1/婚纱/组%2/套系%3").arg(root).arg(s / 10).arg(s);
        QDir().mkpath(set);
        for (int p = 1; p <= pages; ++p)
            QFile(QStringLiteral("%1/%2.temp").arg(set).arg(p)).open(QIODevice::WriteOnly);
    }
    return root;
}

EditedPage::EditedPage(const BenchWorkload& w, OverPaint overPaint)
    : EditedPage(w, QSize(1000, 750), w.smallPhoto, std::move(overPaint), false) {}

EditedPage::EditedPage(const BenchWorkload& w, QSize client, const QString& photo)
    : EditedPage(w, client, photo, {}, true) {}

EditedPage::EditedPage(const BenchWorkload& w, QSize client, const QString& photo,
                       OverPaint overPaint, bool screenCopies)
    : window(client, QImage::Format_RGB32) {
    canvas.EnableScreenCopies(screenCopies);
    canvas.SetClientSize(client);
    canvas.LoadTemplateFile(w.canvasTemplate, true);
    for (int slot = 0; slot < 8; ++slot)
        canvas.PutPhoto(photo, true, slot);
    canvas.FinishScreenCopies();
    canvas.SetInvalidateHandler([this, overPaint](std::optional<Rect> area) {
        QPainter painter(&window);
        if (area) {
            const Rect display = canvas.displayArea();
            painter.setClipRect(area->left + display.left, area->top + display.top, area->width(),
                                area->height());
        }
        canvas.PaintClient(painter);
        if (overPaint)
            overPaint(painter, canvas);
    });
}
