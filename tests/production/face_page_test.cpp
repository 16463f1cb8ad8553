// A portrait put into a wide slot of a banner keeps its face in view, and the
// page keeps that very crop when it is saved, reopened and printed: the
// face-keeping fit is nothing but the ordinary offsets.

#include "common/messages.h"
#include "compose/compose_canvas.h"
#include "production/compose_task.h"
#include "production/finished_pages.h"
#include "production/new_page.h"
#include "production/progress_run.h"
#include "production_fixture.h"
#include "records/order_lines.h"
#include "records/workspace_paths.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <gtest/gtest.h>

namespace {

const QSize kCanvas(1000, 750);

// Mean difference per channel of two pictures of the same size.
double Difference(const QImage& a, const QImage& b) {
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    double sum = 0;
    for (int row = 0; row < x.height(); ++row)
        for (int col = 0; col < x.width(); ++col) {
            const QRgb p = x.pixel(col, row), q = y.pixel(col, row);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * x.width() * x.height());
}

} // namespace

TEST(FacePage, TheFaceKeepingCropSurvivesSaveReopenAndTheFullSizePage) {
    TestFolder base;
    ForgetDpiSetting(); // 254 dpi: 100 pixels a centimetre
    const OrderLine banner{"横幅", "30", "15", "1", "1"};
    const QString folder = CustomerFolder("张三");
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(WriteOrderLines(OrderLinesPath(folder), {banner}));
    const QString photo = base.file("portrait.jpg");
    ASSERT_TRUE(QFile::copy(kFacePhoto, photo));

    TemplateBody body = MakeBody({400, 200}, Qt::white, 0);
    body.rects = {TemplateRect{0, 0, 1000, 500}}; // the whole 2 : 1 page
    const auto place = [&](bool keepFaces, CComposeCanvas& canvas) {
        canvas.SetClientSize(kCanvas);
        canvas.SetProductSize({3000, 1500});
        canvas.SetKeepFaces(keepFaces);
        ASSERT_TRUE(canvas.ApplyTemplateBody(SerializeTemplateBody(body), true, true));
        ASSERT_TRUE(canvas.PutPhoto(photo, true, 0));
    };
    CComposeCanvas canvas, centred;
    place(true, canvas);
    place(false, centred);
    const SlotPlacement placed = canvas.placement(0);
    EXPECT_LT(placed.offsetY, 0) << "the crop moves up to the face";
    EXPECT_EQ(centred.placement(0).offsetY, 0);

    CustomerTask task;
    RecordingMessages messages;
    SavePageRequest request;
    request.customerChosen = true;
    request.customerName = "张三";
    request.product = banner;
    ASSERT_TRUE(SaveCanvasAsPage(request, canvas, task, messages).saved);

    CComposeCanvas reopened;
    reopened.SetClientSize(kCanvas);
    ASSERT_TRUE(OpenFinishedPage(task, 0, -1, reopened, {banner}).loaded);
    EXPECT_EQ(reopened.placement(0).ToBytes(), placed.ToBytes());
    EXPECT_LT(Difference(reopened.slotImage(0), canvas.slotImage(0)), 1.0);

    RecordingProgressRun run(100);
    run.Open();
    ComposeEnvironment env;
    env.canvasSize = [] { return kCanvas; };
    ASSERT_EQ(ComposeTask(0, task, &run, env), 1);
    const QImage page = QImageReader(folder + "/big横幅.jpg").read();
    ASSERT_EQ(page.size(), QSize(3000, 1500));
    // The slot fills the page: the printed page shows the canvas's crop, not
    // the centred one.
    const QImage shown = canvas.slotImage(0);
    const QImage printed =
        page.scaled(shown.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const double toKept = Difference(printed, shown);
    EXPECT_LT(toKept, 8.0);
    EXPECT_GT(Difference(printed, centred.slotImage(0)), 2 * toKept);
    EXPECT_TRUE(messages.informed.isEmpty());
}
