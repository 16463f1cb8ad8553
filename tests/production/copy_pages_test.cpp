// A two-page 30 x 30 album copied into another size: new ordinary pages of
// the other product with the same photos, each crop on the same point of its
// photo, and the pages whose crops had to change listed.

#include "production/copy_pages.h"

#include "common/messages.h"
#include "compose/compose_canvas.h"
#include "production/finished_pages.h"
#include "production/new_page.h"
#include "production_fixture.h"
#include "raster/raster.h"
#include "records/dpi_setting.h"
#include "records/order_lines.h"
#include "records/resolution_threshold.h"
#include "records/workspace_paths.h"
#include "test_support.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

const QSize kCanvas(1000, 750);

SavePageRequest RequestFor(const OrderLine& product) {
    SavePageRequest request;
    request.customerChosen = true;
    request.customerName = "张三";
    request.product = product;
    return request;
}

// The centre of the part of slot 0's photo a saved page shows, in fractions
// of the photo, as the page reopens.
QPointF ShownCentre(CustomerTask& task, const QString& page) {
    int index = 0;
    while (index < task.PageCount() && task.pages[index]->Name() != page)
        ++index;
    CComposeCanvas canvas;
    canvas.SetClientSize(kCanvas);
    const OpenedPage opened =
        OpenFinishedPage(task, index, -1, canvas, ReadOrderLines(OrderLinesPath(task.Folder())));
    if (!opened.loaded)
        return {-1, -1};
    const SlotPlacement& p = canvas.placement(0);
    const QSize photo = canvas.workingCopy(0).size();
    const QRectF window =
        CropWindowRect(photo, Rect{p.left, p.top, p.right, p.bottom}, p.zoom, p.offsetX, p.offsetY);
    return {window.center().x() / photo.width(), window.center().y() / photo.height()};
}

QList<QByteArray> PhotosOf(const QString& folder, const QString& page) {
    LayoutRecord record;
    ParseLayoutRecord(ReadBytes(PageDataFolder(folder, page) + "/dat"), record);
    QList<QByteArray> photos;
    for (const LayoutPhoto& photo : record.photos)
        photos.append(photo.bytes);
    return photos;
}

} // namespace

TEST(CopyPages, AlbumCopiedToAnotherSizeKeepsPhotosAndCropPoints) {
    TestFolder base;
    ForgetDpiSetting(); // 254 dpi: 100 pixels a centimetre
    const QList<OrderLine> order{{"相册", "30", "30", "1", "2"},
                                 {"小相册", "20", "30", "1", "2"},
                                 {"同尺寸", "30", "30", "1", "2"}};
    const QString folder = CustomerFolder("张三");
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(WriteOrderLines(OrderLinesPath(folder), order));
    CustomerTask task;
    RecordingMessages messages;

    // Two pages of 相册, each one photo moved off centre in its slot.
    for (int i = 0; i < 2; ++i) {
        const QString photo = base.file(QString("photo%1.jpg").arg(i));
        ASSERT_TRUE(WriteBytes(photo, EncodeImage(QuadrantImage(1200 + 100 * i, 800), "JPEG")));
        CComposeCanvas canvas;
        canvas.SetClientSize(kCanvas);
        canvas.SetProductSize({3000, 3000});
        ASSERT_TRUE(canvas.ApplyTemplateBody(
            SerializeTemplateBody(MakeBody({400, 300}, Qt::white, 1)), true, true));
        ASSERT_TRUE(canvas.PutPhoto(photo, true, 0));
        canvas.placement(0).offsetX = 9 + i;
        canvas.placement(0).offsetY = -2;
        canvas.RefitSlot(0);
        ASSERT_TRUE(SaveCanvasAsPage(RequestFor(order[0]), canvas, task, messages).saved);
    }

    const struct {
        int product;
        QStringList names;
        QSize size;
        bool changed;
        int warnPpi; // the copies print their photos at 508 ppi
    } copies[] = {
        {1, {"小相册", "小相册-2"}, {2000, 3000}, true, 150}, // a third of each crop's width goes
        {2, {"同尺寸", "同尺寸-2"}, {3000, 3000}, false, 1000},
    };
    for (const auto& c : copies) {
        SetResolutionThreshold({c.warnPpi, 100});
        const QList<CopiedPage> copied =
            CopyProductPages(task, "相册", RequestFor(order[c.product]), kCanvas, messages);
        ASSERT_EQ(copied.size(), 2);
        for (int i = 0; i < 2; ++i) {
            const QString from = i == 0 ? "相册" : "相册-2";
            SCOPED_TRACE(c.names[i].toStdString());
            EXPECT_EQ(copied[i].from, from);
            ASSERT_EQ(copied[i].to, c.names[i]);
            EXPECT_EQ(copied[i].changedSlots, c.changed ? QList<int>{0} : QList<int>{});
            const QList<SlotResolution>& low = copied[i].lowResolution;
            ASSERT_EQ(low.size(), c.warnPpi > 508 ? 1 : 0);
            if (!low.isEmpty()) {
                EXPECT_EQ(low[0].slot, 0);
                EXPECT_NEAR(low[0].ppi, 508, 1);
            }
            const TaskPage& page = *task.pages.back();
            EXPECT_EQ(QSize(page.width, page.height), c.size);
            EXPECT_EQ(PhotosOf(folder, c.names[i]), PhotosOf(folder, from));
            const QPointF before = ShownCentre(task, from);
            const QPointF after = ShownCentre(task, c.names[i]);
            ASSERT_GE(after.x(), 0) << "the copy reopens";
            EXPECT_NEAR(after.x(), before.x(), 0.01);
            EXPECT_NEAR(after.y(), before.y(), 0.01);
        }
    }
    EXPECT_TRUE(messages.informed.isEmpty());
    // The task file holds the originals and both copies.
    CustomerTask reloaded;
    ASSERT_TRUE(reloaded.Load(TaskFilePath(folder)));
    EXPECT_EQ(reloaded.PageCount(), 6);
}
