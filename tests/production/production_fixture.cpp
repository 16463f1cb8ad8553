#include "production_fixture.h"

#include "records/workspace_paths.h"
#include "test_support.h"

#include <QDir>
#include <QPainter>
#include <QSettings>

QImage Solid(int w, int h, QColor color) {
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(color);
    return image;
}

QByteArray Png(const QImage& image) {
    return EncodeImage(image, "PNG");
}
QByteArray Jpeg(const QImage& image) {
    return EncodeImage(image, "JPEG", 95);
}

TemplateBody MakeBody(QSize background, QColor color, int rects) {
    TemplateBody body;
    body.preview = Jpeg(Solid(40, 30, Qt::gray));
    body.width = 2000;
    body.height = 1500;
    body.background = Png(Solid(background.width(), background.height(), color));
    for (int i = 0; i < rects; ++i)
        body.rects.append(TemplateRect{10 * i, 0, 10 * i + 100, 100});
    return body;
}

SlotPlacement Placement(const Rect& r, int front) {
    SlotPlacement p = SlotPlacement::Zero();
    p.left = r.left;
    p.top = r.top;
    p.right = r.right;
    p.bottom = r.bottom;
    p.front = front;
    return p;
}

std::array<SlotPlacement, 20> PageSetup::EmptyPlacements() {
    std::array<SlotPlacement, 20> all;
    all.fill(SlotPlacement::Zero());
    return all;
}

QString CustomerFolderOf(const QString& customer) {
    return CustomerFolder(customer);
}

void WriteLayoutRecordFor(const QString& customerFolder, const PageSetup& page) {
    LayoutRecord record;
    record.body = SerializeTemplateBody(page.body);
    for (auto it = page.photos.begin(); it != page.photos.end(); ++it)
        record.photos.append(LayoutPhoto{it.key(), it.value()});
    const QString data = PageDataFolder(customerFolder, page.name);
    QDir().mkpath(data);
    WriteBytes(data + "/dat", SerializeLayoutRecord(record));
}

QString WriteCustomer(const QString& customer, const QList<PageSetup>& pages) {
    const QString folder = CustomerFolder(customer);
    QDir().mkpath(folder);
    CustomerTask task;
    task.SetPath(TaskFilePath(folder));
    task.phone = customer;
    for (const PageSetup& setup : pages) {
        auto page = std::make_unique<TaskPage>();
        page->SetName(setup.name);
        page->width = setup.width;
        page->height = setup.height;
        page->placements = setup.placements;
        task.pages.push_back(std::move(page));
        WriteLayoutRecordFor(folder, setup);
    }
    task.Save();
    return task.Path();
}

void ForgetDpiSetting() {
    QSettings settings(qEnvironmentVariable("TAOBAN_PROFILE_DIR") + "/QMRX-KVMO/taoban.ini",
                       QSettings::IniFormat);
    settings.remove("Version 1.0/dpi");
    settings.sync();
}

GreyStats GreyOf(const QImage& image, const QRect& area) {
    GreyStats stats;
    int lo = 255, hi = 0;
    double sum = 0;
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const int g = qGray(image.pixel(x, y));
            lo = qMin(lo, g);
            hi = qMax(hi, g);
            sum += g;
            ++count;
        }
    stats.mean = count ? sum / count : 0;
    stats.spread = hi - lo;
    return stats;
}
