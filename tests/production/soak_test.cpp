// A long batch keeps its memory flat: whatever one page takes is given back
// before the next.

#include "production/compose_task.h"
#include "production/progress_run.h"
#include "production_fixture.h"
#include "records/customer_task.h"
#include "resident_memory.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

TEST(Soak, ThreeHundredPagesKeepTheMemoryOfTheFirstTwenty) {
    TestFolder base;
    ForgetDpiSetting();
    QList<PageSetup> pages;
    for (int i = 0; i < 300; ++i) {
        PageSetup page;
        page.name = QString("P-%1").arg(i + 1);
        page.width = 800;
        page.height = 600;
        page.body = MakeBody(QSize(400, 300), Qt::white, 2);
        page.photos[0] = Jpeg(Solid(900, 600, QColor::fromHsv(i % 360, 200, 200)));
        page.photos[1] = Jpeg(Solid(600, 900, Qt::blue));
        page.placements[0] = Placement(Rect{0, 0, 500, 750});
        page.placements[1] = Placement(Rect{500, 0, 1000, 750}, 1);
        pages.append(page);
    }
    CustomerTask task;
    ASSERT_TRUE(task.Load(WriteCustomer("耐久", pages)));
    ComposeEnvironment env;
    env.canvasSize = [] { return QSize(1000, 750); };

    qint64 afterTwenty = 0, highest = 0;
    for (int i = 0; i < task.PageCount(); ++i) {
        ProgressRun run(100);
        run.Open();
        ComposeTask(i, task, &run, env);
        ASSERT_TRUE(run.FailedPages().isEmpty());
        if (i + 1 == 20)
            afterTwenty = ResidentBytes();
        highest = std::max(highest, ResidentBytes());
    }
    ASSERT_GT(afterTwenty, 0);
    EXPECT_LE(highest, afterTwenty + afterTwenty / 10)
        << "after 20 pages " << afterTwenty << " bytes, at most " << highest;
}

} // namespace
