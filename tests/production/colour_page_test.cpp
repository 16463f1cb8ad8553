// The full-size page of an Adobe RGB photo prints the photo's own colour and
// names its colour space.

#include "production/compose_task.h"
#include "production/progress_run.h"
#include "production_fixture.h"
#include "records/workspace_paths.h"
#include "test_support.h"

#include "jpeg_files.h"

#include <QColorSpace>
#include <QFileInfo>
#include <QImageReader>
#include <gtest/gtest.h>

TEST(ColourPage, AdobeRgbPhotoComesOutInItsSrgbColourWithTheSrgbProfile) {
    TestFolder base;
    PageSetup page;
    page.name = "A";
    page.width = 400;
    page.height = 300;
    page.body = MakeBody(QSize(200, 150), Qt::white, 1);
    page.photos[0] = AdobeRgbJpeg(1200, 900, qRgb(103, 159, 94));
    page.placements[0] = Placement(Rect{0, 0, 1000, 750});
    const QString taskPath = WriteCustomer("甲", {page});
    CustomerTask task;
    ASSERT_TRUE(task.Load(taskPath));
    RecordingProgressRun run(100);
    run.Open();
    ComposeEnvironment env;
    env.canvasSize = [] { return QSize(1000, 750); };
    ComposeTask(-1, task, &run, env);

    const QString big = BigPageImagePath(QFileInfo(taskPath).path(), "A", ".jpg");
    const QImage printed = QImageReader(big).read();
    ASSERT_EQ(printed.size(), QSize(400, 300));
    EXPECT_TRUE(Near(printed.pixel(200, 150), qRgb(60, 160, 90), 3))
        << std::hex << printed.pixel(200, 150);
    EXPECT_EQ(QColorSpace::fromIccProfile(ReadJpegHeaders(ReadBytes(big)).icc),
              QColorSpace(QColorSpace::SRgb));
}
