// How quickly the order book opens for a studio with years of customers:
// 100 rows shown in the task list from a task store of 5,000 customer folders
// (target: within 1 second). Each folder holds what a finished customer
// leaves behind: the task file with three pages, order lines, status, page
// previews, full-size pages and the pages' layout folders.
// Also measured, for comparison: a walk of the whole store, which a search
// that read every folder before taking the first 100 task files would cost.
// Usage: taoban_task_list_bench [--quick] [--workdir DIR] [benchmark options]

#include "bench_support.h"

#include "app/orders/task_list_dialog.h"
#include "common/base_dir.h"
#include "common/find_files.h"
#include "common/messages.h"
#include "common/profile.h"
#include "common/startup.h"
#include "controls/sort_list_ctrl.h"
#include "records/task_list.h"
#include "records/workspace_paths.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

constexpr int kCustomers = 5000;
constexpr int kPagesPerCustomer = 3;

bool Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The store of kCustomers finished customers; quick runs leave out the
// pages' image and layout files (the folders that matter stay).
bool MakeStore(const QString& store, bool quick) {
    const QByteArray task = QByteArray(100, '\0') + QByteArray(kPagesPerCustomer * 3628, '\1');
    for (int c = 0; c < kCustomers; ++c) {
        const QString folder = store + QString("/客人%1").arg(c);
        if (!QDir().mkpath(folder) || !Write(folder + "/1.tx", task) ||
            !Write(folder + "/status.txt", "<s>3/3</s>") ||
            !Write(folder + "/产品.ini", "<n>相册<w>30</w><h>30</h><c>1</c><p>20</p></n>\r\n"))
            return false;
        if (quick)
            continue;
        for (int p = 1; p <= kPagesPerCustomer; ++p) {
            const QString page = p == 1 ? QStringLiteral("相册") : QString("相册-%1").arg(p);
            const QString data = folder + "/data" + page;
            if (!QDir().mkpath(data) || !Write(folder + "/" + page + ".jpg", "j") ||
                !Write(folder + "/big" + page + ".jpg", "j") || !Write(data + "/dat", "d") ||
                !Write(data + "/dat2", "d"))
                return false;
        }
    }
    return true;
}

void BM_TaskListShown(benchmark::State& state) {
    RecordingMessages messages;
    for (auto _ : state) {
        CTaskListDlg dlg(messages, {});
        dlg.show();
        QCoreApplication::processEvents();
        const QImage shown = dlg.list()->viewport()->grab().toImage();
        benchmark::DoNotOptimize(shown.constBits());
        if (dlg.list()->RowCount() != kTaskListLimit)
            state.SkipWithError("the list does not show 100 rows");
    }
}

void BM_TaskListLoad(benchmark::State& state) {
    RecordingMessages messages;
    for (auto _ : state) {
        const QList<QStringList> rows = LoadTaskList(TaskStoreFolder(), messages);
        benchmark::DoNotOptimize(rows.size());
    }
}

void BM_WholeStoreWalk(benchmark::State& state) {
    for (auto _ : state) {
        const FoundFiles found = FindFiles(TaskStoreFolder(), "*.tx", true);
        benchmark::DoNotOptimize(found.files.size());
    }
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    InitProcess(args);

    QTemporaryDir temp;
    BenchOptions options = ParseBenchOptions(argc, argv);
    const bool quick = options.quick;
    const QString workdir = options.workdir.isEmpty() ? temp.path() : options.workdir;
    Profile::UseFolder(workdir + "/profile");
    SetBaseDir(workdir);
    std::fprintf(stderr, "writing %d customer folders in %s ...\n", kCustomers,
                 qPrintable(TaskStoreFolder()));
    if (!QFileInfo::exists(TaskStoreFolder() + QString("/客人%1/1.tx").arg(kCustomers - 1)) &&
        !MakeStore(TaskStoreFolder(), quick)) {
        std::fprintf(stderr, "cannot write the task store\n");
        return 2;
    }

    const int iterations = quick ? 3 : 10;
    benchmark::RegisterBenchmark("task_list_100_rows_shown_of_5000", BM_TaskListShown)
        ->Iterations(iterations)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark("task_list_load_100_of_5000", BM_TaskListLoad)
        ->Iterations(iterations)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark("walk_whole_store_5000", BM_WholeStoreWalk)
        ->Iterations(quick ? 1 : 3)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();

    CollectingReporter reporter;
    RunRegisteredBenchmarks(options, reporter);

    ResultTable table;
    if (const double shown = reporter.Ms("task_list_100_rows_shown_of_5000"); shown > 0)
        table.AtMost("task list: 100 rows shown of 5,000 folders", shown, "ms", 1000);
    table.Print();
    return 0;
}
