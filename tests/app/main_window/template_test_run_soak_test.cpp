// The template test run (Ctrl+Shift+F3) walks the library page after page,
// showing and saving each. A long run keeps its memory flat: whatever one
// page takes is given back before the next.

#include "app/main_window/control_ids.h"
#include "app/main_window/main_window.h"
#include "common/messages.h"
#include "records/customer_task.h"
#include "records/workspace_paths.h"
#include "resident_memory.h"
#include "test_support.h"

#include <QAbstractItemModel>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QListWidget>
#include <QTest>
#include <gtest/gtest.h>

#include <QPixmapCache>
#include <algorithm>
#include <array>
#include <malloc.h>
#if defined(__has_include)
#if __has_include(<sanitizer/allocator_interface.h>)
#include <sanitizer/allocator_interface.h>
#endif
#endif

namespace {

constexpr int kCycle = 10;  // distinct pages, repeated
constexpr int kRounds = 20; // times the run meets each of them

// The first kCycle pages drawn from the demo's hand-written descriptions
// (the largest pages of the library), copied kRounds times into a template
// folder: set "轮<n>" holds one round, pages 1 to kCycle.
bool MakeRepeatedLibrary(const QString& templateRoot) {
    const QString library = QStringLiteral(TAOBAN_SOURCE_DIR "/demo/library");
    const QString built = QStringLiteral(TAOBAN_BINARY_DIR "/demo/模板");
    QStringList pages;
    QDirIterator it(library, {"*.json"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QString relative = QDir(library).relativeFilePath(it.next());
        relative.replace(".json", ".temp");
        pages.append(built + "/" + relative);
    }
    pages.sort();
    if (pages.size() < kCycle)
        return false;
    for (int round = 1; round <= kRounds; ++round) {
        const QString set = templateRoot + QString("/测试/循环/轮%1").arg(round, 2, 10, QChar('0'));
        if (!QDir().mkpath(set))
            return false;
        for (int i = 0; i < kCycle; ++i)
            if (!QFile::copy(pages[i], set + QString("/%1.temp").arg(i + 1)))
                return false;
    }
    return true;
}

#if defined(__SANITIZE_ADDRESS__)
#define TAOBAN_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TAOBAN_ADDRESS_SANITIZER 1
#endif
#endif

// What the window holds: Qt's bounded cache of scaled icons emptied and the
// allocator's free pools (kept per thread, sized by the order pages came
// in) handed back first, so what is left is memory in use. Under
// AddressSanitizer freed memory waits in its quarantine and the resident
// size only grows: its allocator counts the bytes in use instead.
qint64 HeldBytes() {
    QPixmapCache::clear();
#ifdef TAOBAN_ADDRESS_SANITIZER
    return static_cast<qint64>(__sanitizer_get_current_allocated_bytes());
#else
    malloc_trim(0);
    return ResidentBytes();
#endif
}

// The thumbnails the finished list shows on purpose, one for every page.
qint64 ThumbnailBytes(const QListWidget* list) {
    qint64 bytes = 0;
    for (int row = 0; row < list->count(); ++row)
        for (const QSize size : list->item(row)->icon().availableSizes())
            bytes += qint64(size.width()) * size.height() * 4;
    return bytes;
}

TEST(TemplateTestRunSoak, TwoHundredPagesKeepTheMemoryOfTheFirstTwenty) {
    constexpr int kPages = kCycle * kRounds;
    TestFolder base;
    ASSERT_TRUE(MakeRepeatedLibrary(base.file("模板")));
    ASSERT_TRUE(CopyTree(QStringLiteral(TAOBAN_BINARY_DIR "/demo/样片"), base.file("样片")));
    RecordingMessages messages;
    CMainDlg window(messages);
    window.resize(1280, 860);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ASSERT_EQ(window.library().templates().size(), kPages);
    const QString lastPage = window.library().templates().last();
    window.SetTemplateTestPacing(TemplateTestPacing{1, 1});

    // Every save lists the pages saved so far in the finished area, so the
    // list reaching a new length marks one more page done.
    auto* finished = static_cast<QListWidget*>(window.control(ControlId::FinishedList));
    int pagesDone = 0;
    // What is held after each page, summed by round. A round is compared
    // with the second as a whole: a page's level also holds what the list's
    // workers have in hand at that moment, which comes and goes, while
    // whatever a page leaks stays in every later round.
    std::array<qint64, kRounds> roundBytes{};
    qint64 thumbnailsAfterTwenty = 0;
    QObject probe;
    QObject::connect(finished->model(), &QAbstractItemModel::rowsInserted, &probe, [&] {
        if (finished->count() <= pagesDone)
            return;
        pagesDone = finished->count();
        if (pagesDone <= kCycle)
            return;
        // Beyond the first twenty pages nothing may grow but the list's
        // thumbnails.
        roundBytes[(pagesDone - 1) / kCycle] += HeldBytes() - ThumbnailBytes(finished);
        if (pagesDone == 2 * kCycle)
            thumbnailsAfterTwenty = ThumbnailBytes(finished);
    });

    QTest::keyClick(&window, Qt::Key_F3, Qt::ControlModifier | Qt::ShiftModifier);
    QTRY_COMPARE_WITH_TIMEOUT(messages.informed.size(), 2, 240000);
    EXPECT_EQ(messages.informed, QStringList({"测模板", "完成"}));

    // Every page was shown and saved; the last one is still on the canvas.
    EXPECT_EQ(pagesDone, kPages);
    EXPECT_EQ(finished->count(), kPages);
    EXPECT_TRUE(window.library().templates().isEmpty());
    EXPECT_EQ(window.canvas().bodyPath(), lastPage);
    CustomerTask saved;
    ASSERT_TRUE(saved.Load(PreviewCacheTaskPath()));
    EXPECT_EQ(saved.PageCount(), kPages);

    double highestRatio = 0;
    QStringList roundsMb;
    for (int round = 1; round < kRounds; ++round) {
        roundsMb << QString::number(roundBytes[round] / kCycle >> 20);
        highestRatio = std::max(highestRatio, double(roundBytes[round]) / roundBytes[1]);
    }
    RecordProperty("thumbnailBytes", QString::number(ThumbnailBytes(finished)).toStdString());
    RecordProperty("highestGrowthPercent", QString::number((highestRatio - 1) * 100).toStdString());
    // The list's thumbnails are real: ten times the pages, ten times the bytes.
    EXPECT_GE(ThumbnailBytes(finished), 10 * thumbnailsAfterTwenty);
    EXPECT_GT(roundBytes[1], 0) << "the second round measured";
    EXPECT_LE(highestRatio, 1.10) << "a round took " << (highestRatio - 1) * 100
                                  << " % more than the second; MB held per page, by round: "
                                  << roundsMb.join(' ').toStdString();
}

} // namespace
