// The batch worker's page: a task file "1.tx" whose pages all use the same
// layout record and canvas size file. Input: 1.tx, dat, canvas file, as
// parts.

#include "fuzz_support.h"

#include "production/page_compositor.h"
#include "production/progress_run.h"
#include "records/customer_task.h"

namespace {
// The batch refuses oversized pages before drawing; what matters here is
// everything a record can hold, at page sizes a fuzzer can draw quickly.
constexpr qint64 kMostPagePixels = 1200 * 900;

class NoProgress : public IProgressRun {
public:
    void SetCurrent(int) override {}
    void AddToTotal(int) override {}
    void ExtendMaximum(int) override {}
    void EndDialog(int) override {}
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QList<QByteArray> parts = SplitInput(InputBytes(data, size), 3);
    ClearScratch(QStringLiteral("task"));
    const QString taskFile = WriteScratch(QStringLiteral("task/1.tx"), parts[0]);
    CustomerTask task;
    if (taskFile.isEmpty() || !task.Load(taskFile))
        return 0;
    const QString folder = task.Folder();
    NoProgress run;
    int pagesTried = 0;
    for (const auto& page : task.pages) {
        if (pagesTried == 3)
            break;
        if (qint64(page->width) * page->height > kMostPagePixels)
            continue;
        PageFiles files;
        if (!PageFilesFor(folder, page->Name(), files))
            continue;
        ++pagesTried;
        const QString dataFolder = files.dataFolder.mid(ScratchPath(QString()).size());
        WriteScratch(dataFolder + QStringLiteral("/dat"), parts[1]);
        WriteScratch(dataFolder + QStringLiteral("/canvas"), parts[2]);
        PageProgress progress(&run, 0, 100);
        ComposePage(*page, folder, 254, QSize(1000, 750), progress, nullptr);
    }
    return 0;
}
