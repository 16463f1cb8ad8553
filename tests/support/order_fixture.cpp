#include "order_fixture.h"

#include "compose/canvas_size_file.h"
#include "raster/raster.h"
#include "compose/template_body.h"
#include "records/customer_task.h"
#include "records/dpi_setting.h"
#include "records/order_lines.h"
#include "records/workspace_paths.h"
#include "test_support.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {
QImage Filled(int w, int h, QColor color) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(color);
    return image;
}
} // namespace

ProblemOrder::ProblemOrder() : folder_(CustomerFolder(kCustomer)) {
    SetDpiText("254");
    QDir().mkpath(folder_);
    EXPECT_TRUE(WriteOrderLines(
        OrderLinesPath(folder_),
        {{"A", "6", "4", "5", "2"}, {"B", "4", "4", "1", "3"}, {"C", "2", "2", "2", "1"}}));
    CustomerTask task;
    task.SetPath(TaskFilePath(folder_));
    for (const char* name : {"A", "A-2", "B", "B-2", "B-3"}) {
        auto page = std::make_unique<TaskPage>();
        page->SetName(name);
        page->width = name[0] == 'A' ? 600 : 400;
        page->height = 400;
        // The slot (100, 100, 400, 400) of the canvas prints 180 x 180 pixels.
        SlotPlacement& slot = page->placements[0];
        slot.left = slot.top = 100;
        slot.right = slot.bottom = 400;
        task.pages.push_back(std::move(page));
    }
    EXPECT_TRUE(task.Save());
    Page("A", 600, 400, 100, true);
    Page("A-2", 600, 400, 400, false);
    Page("B", 400, 400, 0, true);
    Page("B-2", 400, 400, 0, true);
    Page("B-3", 400, 400, 0, true);
    Render("A", 600, 400);
    Render("A-2", 600, 400);
    Render("B", 300, 300);
    Render("B-3", 400, 400);
    const QString stale = BigPageImagePath(folder_, "B-3", ".jpg");
    QFile image(stale);
    EXPECT_TRUE(image.open(QIODevice::ReadWrite));
    EXPECT_TRUE(image.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                  QFileDevice::FileModificationTime));
}

void ProblemOrder::Page(const QString& name, int w, int h, int photoSide, bool withRecord) {
    const QString data = PageDataFolder(folder_, name);
    QDir().mkpath(data);
    EXPECT_TRUE(WriteCanvasSizeFile(data, QSize(1000, 750)));
    if (!withRecord)
        return;
    TemplateBody body;
    body.preview = EncodeImage(Filled(40, 30, Qt::gray), "JPEG");
    body.width = w;
    body.height = h;
    body.background = EncodeImage(Filled(w / 2, h / 2, Qt::white), "PNG");
    body.rects.append(TemplateRect{100, 100, 400, 400});
    LayoutRecord record;
    record.body = SerializeTemplateBody(body);
    if (photoSide > 0)
        record.photos.append(
            LayoutPhoto{0, EncodeImage(QuadrantImage(photoSide, photoSide), "JPEG")});
    EXPECT_TRUE(WriteBytes(data + "/dat", SerializeLayoutRecord(record)));
}

void ProblemOrder::Render(const QString& name, int w, int h) {
    EXPECT_TRUE(SaveJpeg(Filled(w, h, Qt::white), BigPageImagePath(folder_, name, ".jpg"), 254));
}

void ProblemOrder::Fix() {
    Page("A", 600, 400, 400, true);
    Page("A-2", 600, 400, 400, true);
    CustomerTask task;
    ASSERT_TRUE(task.Load(TaskFilePath(folder_)));
    auto page = std::make_unique<TaskPage>();
    page->SetName("C");
    page->width = page->height = 200;
    task.pages.push_back(std::move(page));
    ASSERT_TRUE(task.Save());
    Page("C", 200, 200, 0, true);
    for (const char* name : {"A", "A-2", "B", "B-2", "B-3"})
        Render(name, name[0] == 'A' ? 600 : 400, 400);
    Render("C", 200, 200);
}
