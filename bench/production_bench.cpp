// Speed and memory of the production paths against their floors:
//   put a 24 MP photo into a slot       vs. decoding it whole   (<= 0.25)
//   one 30 x 30 cm page at 300 dpi       vs. libjpeg-turbo decoding its four
//                                            photos whole and encoding the page at
//                                            quality 100 4:4:4 on one core: CPU
//                                            (<= 1.2) and wall time (<= 0.7)
//   recomposing a 1000 x 750 canvas page with 8 slots              (< 16 ms)
//   one edit of a slot on that page, recomposed and repainted      (< 16 ms)
//   a 75 x 85 thumbnail of a 24 MP photo
//   thumbnails of 300 photos through the list loader vs. decoding them whole (<= 0.3),
//   and how long the window's thread is kept from its events meanwhile (< 50 ms)
//   peak memory of a batch page, measured in a child process      (< 150 MB)
// Usage: taoban_bench [--quick] [--workdir DIR] [benchmark options]

#include "bench_workload.h"

#include "common/atomic_file.h"
#include "common/profile.h"
#include "common/startup.h"
#include "compose/compose_canvas.h"
#include "compose/raster.h"
#include "production/compose_task.h"
#include "production/progress_run.h"
#include "records/customer_task.h"
#include "templates/thumbnail_loader.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>
#include <QPixmap>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <jpeglib.h>
#include <map>
#include <sys/resource.h>
#include <thread>

namespace {

BenchWorkload workload;
bool quick = false;
int thumbnailListSize = 300;
// Of the last thumbnail list run: the longest the window's thread went
// without serving its events, and the time one Refresh call took.
double thumbnailLongestGapMs = 0;
double thumbnailRefreshMs = 0;

QImage DecodeWhole(const QString& path) {
    QImageReader reader(path);
    reader.setAutoTransform(true);
    return reader.read();
}

double ProcessCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// libjpeg-turbo on its own, as its djpeg does: the file decoded to RGB rows
// (reduced by 1/denominator) that are dropped as they come.
void LibjpegDecode(const QByteArray& bytes, unsigned denominator) {
    jpeg_decompress_struct info;
    jpeg_error_mgr err;
    info.err = jpeg_std_error(&err);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.constData()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    info.scale_num = 1;
    info.scale_denom = denominator;
    jpeg_start_decompress(&info);
    std::vector<unsigned char> row(size_t(info.output_width) * 3);
    JSAMPROW rows[1] = {row.data()};
    while (info.output_scanline < info.output_height)
        jpeg_read_scanlines(&info, rows, 1);
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    benchmark::DoNotOptimize(row.data());
}

// libjpeg-turbo encoding a page as its cjpeg does with -quality 100
// -sample 1x1: from the page's rows into memory.
void LibjpegEncodePage(const QImage& page) {
    jpeg_compress_struct info;
    jpeg_error_mgr err;
    info.err = jpeg_std_error(&err);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &out, &size);
    info.image_width = page.width();
    info.image_height = page.height();
    info.input_components = 4;
    info.in_color_space = JCS_EXT_BGRX;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    for (int i = 0; i < info.num_components; ++i)
        info.comp_info[i].h_samp_factor = info.comp_info[i].v_samp_factor = 1;
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(page.constScanLine(int(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    benchmark::DoNotOptimize(out);
    free(out);
}

QByteArray FileBytes(const QString& path) {
    QByteArray bytes;
    ReadWholeFile(path, bytes);
    return bytes;
}

// CPU time of the whole process (every thread) per batch page and per floor.
double batchCpuMs = 0;
double floorCpuMs = 0;

void ComposeBatchPage() {
    CustomerTask task;
    task.Load(workload.batchTaskPath);
    RecordingProgressRun run(100);
    run.Open();
    ComposeTask(0, task, &run);
}

void BM_PutPhoto(benchmark::State& state) {
    CComposeCanvas canvas;
    canvas.SetClientSize({1000, 750});
    canvas.LoadTemplateFile(workload.canvasTemplate, true);
    for (auto _ : state) {
        canvas.PutPhoto(workload.photos[0], true, 0);
        benchmark::DoNotOptimize(canvas.slotImage(0).constBits());
    }
}

void BM_DecodeWhole(benchmark::State& state) {
    for (auto _ : state) {
        const QImage image = DecodeWhole(workload.photos[0]);
        benchmark::DoNotOptimize(image.constBits());
    }
}

// The least any reduced-scale decode of the photo costs: libjpeg-turbo
// shrinking by 1/8 while it decodes (the file read included).
void BM_ReducedDecode(benchmark::State& state) {
    for (auto _ : state)
        LibjpegDecode(FileBytes(workload.photos[0]), 8);
}

void BM_RenderComposite(benchmark::State& state) {
    CComposeCanvas canvas;
    canvas.SetClientSize({1000, 750});
    canvas.LoadTemplateFile(workload.canvasTemplate, true);
    for (int slot = 0; slot < 8; ++slot)
        canvas.PutPhoto(workload.smallPhoto, true, slot);
    for (auto _ : state) {
        canvas.RenderComposite();
        benchmark::DoNotOptimize(canvas.backBuffer().constBits());
    }
}

// The canvas page of the render benchmark, with a window that repaints the
// area each edit reports, as the canvas view does.
struct EditedPage {
    EditedPage() : window(1000, 750, QImage::Format_RGB32) {
        canvas.SetClientSize({1000, 750});
        canvas.LoadTemplateFile(workload.canvasTemplate, true);
        for (int slot = 0; slot < 8; ++slot)
            canvas.PutPhoto(workload.smallPhoto, true, slot);
        canvas.SetInvalidateHandler([this](std::optional<Rect> area) {
            QPainter painter(&window);
            if (area) {
                const Rect display = canvas.displayArea();
                painter.setClipRect(area->left + display.left, area->top + display.top,
                                    area->width(), area->height());
            }
            canvas.PaintClient(painter);
        });
    }
    CComposeCanvas canvas;
    QImage window;
};

// An arrow key on the turned slot, the photo locked: offset, refit, page.
void BM_EditNudge(benchmark::State& state) {
    EditedPage page;
    page.canvas.SetCurrentSlot(2);
    bool left = true;
    for (auto _ : state) {
        if (left)
            page.canvas.NudgeLeft(true);
        else
            page.canvas.NudgeRight(true);
        left = !left;
        benchmark::DoNotOptimize(page.window.constBits());
    }
}

// A fine enlarge of the masked slot itself, put back between the steps.
void BM_EditEnlarge(benchmark::State& state) {
    EditedPage page;
    page.canvas.SetCurrentSlot(4);
    const SlotPlacement start = page.canvas.placement(4);
    for (auto _ : state) {
        page.canvas.Enlarge(false, false);
        benchmark::DoNotOptimize(page.window.constBits());
        page.canvas.placement(4) = start;
    }
}

void BM_BatchPage(benchmark::State& state) {
    const double cpuStart = ProcessCpuMs();
    for (auto _ : state)
        ComposeBatchPage();
    batchCpuMs = (ProcessCpuMs() - cpuStart) / double(state.iterations());
}

// What no batch page can beat, on one core: libjpeg-turbo decoding its
// photos whole, one after the other (files read included), and encoding the
// finished page at quality 100 with full colour resolution (4:4:4).
void BM_BatchFloor(benchmark::State& state) {
    const QString rendered = workload.folder + "/套版缓存/bench/bigP.jpg";
    if (!QFileInfo::exists(rendered))
        ComposeBatchPage();
    const QImage page = DecodeWhole(rendered).convertToFormat(QImage::Format_RGB32);
    const double cpuStart = ProcessCpuMs();
    for (auto _ : state) {
        for (const QString& photo : workload.photos)
            LibjpegDecode(FileBytes(photo), 1);
        LibjpegEncodePage(page);
    }
    floorCpuMs = (ProcessCpuMs() - cpuStart) / double(state.iterations());
}

void BM_Thumbnail(benchmark::State& state) {
    for (auto _ : state) {
        const QImage cell = MakeThumbnailCell(workload.photos[0], ThumbnailSource::ImageFile);
        benchmark::DoNotOptimize(cell.constBits());
    }
}

// A customer photo list of camera photos as the window loads it: the loader
// draws the cells on its workers while the window's thread turns each into
// a pixmap as it arrives. A 5 ms timer on the window's thread measures the
// longest stretch in which it could not serve its events.
void BM_ThumbnailList(benchmark::State& state) {
    QStringList paths;
    for (int i = 0; i < thumbnailListSize; ++i)
        paths.append(workload.photos[i % workload.photos.size()]);
    ThumbnailLoader loader(ThumbnailSource::ImageFile);
    for (auto _ : state) {
        QEventLoop loop;
        int cells = 0;
        QObject::connect(&loader, &ThumbnailLoader::CellReady, &loop,
                         [&cells](int, int, const QImage& cell) {
                             benchmark::DoNotOptimize(QPixmap::fromImage(cell).cacheKey());
                             ++cells;
                         });
        QObject::connect(&loader, &ThumbnailLoader::Finished, &loop, &QEventLoop::quit);
        QElapsedTimer sinceTick;
        qint64 longestGapNs = 0;
        QTimer tick;
        tick.setInterval(5);
        tick.setTimerType(Qt::PreciseTimer);
        QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
            longestGapNs = std::max(longestGapNs, sinceTick.nsecsElapsed());
            sinceTick.restart();
        });
        tick.start();
        sinceTick.start();
        QElapsedTimer refresh;
        refresh.start();
        loader.Refresh(paths);
        thumbnailRefreshMs = refresh.nsecsElapsed() / 1e6;
        loop.exec();
        if (cells != paths.size())
            state.SkipWithError("the loader did not deliver every cell");
        // The timer's own interval is not time the thread was kept busy.
        thumbnailLongestGapMs = std::max(0.0, longestGapNs / 1e6 - 5);
    }
}

// Keeps each benchmark's real time per iteration, in milliseconds.
class CollectingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && run.iterations > 0)
                ms[run.run_name.function_name] = run.GetAdjustedRealTime() /
                                                 benchmark::GetTimeUnitMultiplier(run.time_unit) *
                                                 1000.0;
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> ms;
};

// Peak resident memory of a batch page, from a child that does nothing else.
long BatchPeakMemoryKb(const QString& program) {
    QProcess child;
    child.start(program, {"--measure-batch-memory", workload.folder});
    child.waitForFinished(-1);
    bool ok = false;
    const long kb = QString::fromLatin1(child.readAllStandardOutput()).trimmed().toLong(&ok);
    return ok ? kb : -1;
}

int MeasureBatchMemory(const QString& folder) {
    workload.folder = folder;
    workload.batchTaskPath = folder + "/套版缓存/bench/1.tx";
    ComposeBatchPage();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%ld\n", usage.ru_maxrss);
    return 0;
}

void Verdict(const char* what, double value, const char* unit, double target, bool below) {
    const bool met = below ? value <= target : value >= target;
    std::printf("%-44s %10.3f %-3s target %s %.3g  %s\n", what, value, unit,
                below ? "<=" : ">=", target, met ? "met" : "MISSED");
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    InitProcess(args);

    QTemporaryDir temp;
    QString workdir = temp.path();
    std::vector<char*> benchArgs{argv[0]};
    for (int i = 1; i < argc; ++i) {
        const QString a = QString::fromLocal8Bit(argv[i]);
        if (a == "--measure-batch-memory" && i + 1 < argc) {
            Profile::UseFolder(QString::fromLocal8Bit(argv[i + 1]) + "/profile");
            return MeasureBatchMemory(QString::fromLocal8Bit(argv[i + 1]));
        }
        if (a == "--quick")
            quick = true;
        else if (a == "--workdir" && i + 1 < argc)
            workdir = QString::fromLocal8Bit(argv[++i]);
        else
            benchArgs.push_back(argv[i]);
    }
    // The workload's own profile: 300 dpi, and nothing of the user's touched.
    Profile::UseFolder(workdir + "/profile");
    Profile::SetString("Version 1.0", "dpi", "300");

    std::fprintf(stderr, "drawing the workload in %s ...\n", qPrintable(workdir));
    workload = MakeBenchWorkload(workdir, QSize(6000, 4000));

    const int heavy = quick ? 2 : 10;
    const int light = quick ? 5 : 40;
    benchmark::RegisterBenchmark("put_photo_24mp", BM_PutPhoto)
        ->Iterations(light)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark("decode_whole_24mp", BM_DecodeWhole)
        ->Iterations(light / 2 + 1)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark("reduced_decode_24mp_1_8", BM_ReducedDecode)
        ->Iterations(light)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark("render_composite_8_slots", BM_RenderComposite)
        ->Iterations(quick ? 20 : 200)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark("edit_nudge_locked_8_slots", BM_EditNudge)
        ->Iterations(quick ? 20 : 200)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark("edit_enlarge_unlocked_8_slots", BM_EditEnlarge)
        ->Iterations(quick ? 20 : 200)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark("batch_page_30cm_300dpi", BM_BatchPage)
        ->Iterations(heavy)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark("batch_floor_decode_encode", BM_BatchFloor)
        ->Iterations(heavy)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark("thumbnail_75x85_24mp", BM_Thumbnail)
        ->Iterations(light)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    thumbnailListSize = quick ? 60 : 300;
    benchmark::RegisterBenchmark("thumbnail_list_24mp", BM_ThumbnailList)
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();

    int benchArgc = static_cast<int>(benchArgs.size());
    benchmark::Initialize(&benchArgc, benchArgs.data());
    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    auto ms = [&](const char* name) {
        const auto it = reporter.ms.find(name);
        return it == reporter.ms.end() ? 0.0 : it->second;
    };
    const long peakKb = BatchPeakMemoryKb(QCoreApplication::applicationFilePath());
    std::printf("\n");
    std::printf("%-44s %10d\n", "cores", int(std::thread::hardware_concurrency()));
    if (ms("decode_whole_24mp") > 0)
        std::printf("%-44s %10.3f\n", "put photo / whole decode",
                    ms("put_photo_24mp") / ms("decode_whole_24mp"));
    if (ms("reduced_decode_24mp_1_8") > 0)
        Verdict("put photo / libjpeg-turbo 1/8 decode",
                ms("put_photo_24mp") / ms("reduced_decode_24mp_1_8"), "", 1.1, true);
    if (ms("batch_floor_decode_encode") > 0) {
        std::printf("%-44s %10.3f ms  (floor %.3f ms)\n", "batch page CPU time, all threads",
                    batchCpuMs, floorCpuMs);
        if (floorCpuMs > 0)
            Verdict("batch page CPU / one-core floor CPU", batchCpuMs / floorCpuMs, "", 1.2, true);
        Verdict("batch page wall / one-core floor",
                ms("batch_page_30cm_300dpi") / ms("batch_floor_decode_encode"), "", 0.7, true);
    }
    if (ms("render_composite_8_slots") > 0)
        Verdict("render composite 1000 x 750, 8 slots", ms("render_composite_8_slots"), "ms", 16,
                true);
    // An arrow key held down repeats 30 times a second; each edit must also
    // fit in one frame.
    if (ms("edit_nudge_locked_8_slots") > 0)
        Verdict("edit: nudge, locked, repainted", ms("edit_nudge_locked_8_slots"), "ms", 16, true);
    if (ms("edit_enlarge_unlocked_8_slots") > 0)
        Verdict("edit: enlarge, unlocked, repainted", ms("edit_enlarge_unlocked_8_slots"), "ms", 16,
                true);
    if (ms("thumbnail_75x85_24mp") > 0)
        std::printf("%-44s %10.3f ms\n", "thumbnail 75 x 85 of 24 MP", ms("thumbnail_75x85_24mp"));
    if (ms("thumbnail_list_24mp") > 0 && ms("decode_whole_24mp") > 0) {
        const double perPhoto = ms("thumbnail_list_24mp") / thumbnailListSize;
        std::printf("%-44s %10.3f ms  (%d photos)\n", "thumbnail list, per photo", perPhoto,
                    thumbnailListSize);
        Verdict("thumbnail list / whole decodes", perPhoto / ms("decode_whole_24mp"), "", 0.3,
                true);
        if (ms("reduced_decode_24mp_1_8") > 0)
            Verdict("thumbnail list / libjpeg-turbo 1/8 decode",
                    perPhoto / ms("reduced_decode_24mp_1_8"), "", 1.0, true);
        Verdict("thumbnail list: longest window-thread gap", thumbnailLongestGapMs, "ms", 50, true);
        std::printf("%-44s %10.3f ms\n", "thumbnail list: one Refresh call", thumbnailRefreshMs);
    }
    if (peakKb > 0)
        Verdict("batch page peak memory", peakKb / 1024.0, "MB", 150, true);
    else
        std::printf("batch page peak memory: the measuring child failed\n");
    return 0;
}
