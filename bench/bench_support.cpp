#include "bench_support.h"

#include <QFile>
#include <QRegularExpression>

#include <cstdio>
#include <ctime>
#include <jpeglib.h>
#include <sys/resource.h>
#include <thread>
#include <vector>

BenchOptions ParseBenchOptions(int argc, char** argv) {
    BenchOptions options;
    options.benchArgs.push_back(argv[0]);
    for (int i = 1; i < argc; ++i) {
        const QString a = QString::fromLocal8Bit(argv[i]);
        if (a == "--quick")
            options.quick = true;
        else if (a == "--workdir" && i + 1 < argc)
            options.workdir = QString::fromLocal8Bit(argv[++i]);
        else
            options.benchArgs.push_back(argv[i]);
    }
    return options;
}

void RunRegisteredBenchmarks(BenchOptions& options, benchmark::BenchmarkReporter& reporter) {
    int argc = static_cast<int>(options.benchArgs.size());
    benchmark::Initialize(&argc, options.benchArgs.data());
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
}

double ProcessCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double ChildrenCpuMs() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    const auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

void CollectingReporter::ReportRuns(const std::vector<Run>& runs) {
    for (const Run& run : runs) {
        if (run.run_type != Run::RT_Iteration || run.iterations <= 0)
            continue;
        const double toMs = 1000.0 / benchmark::GetTimeUnitMultiplier(run.time_unit);
        ms_[run.run_name.function_name] = run.GetAdjustedRealTime() * toMs;
        cpuMs_[run.run_name.function_name] = run.GetAdjustedCPUTime() * toMs;
    }
    ConsoleReporter::ReportRuns(runs);
}

namespace {
double Find(const std::map<std::string, double>& ms, const std::string& name) {
    const auto it = ms.find(name);
    return it == ms.end() ? 0.0 : it->second;
}
} // namespace

double CollectingReporter::Ms(const std::string& name) const {
    return Find(ms_, name);
}

double CollectingReporter::CpuMs(const std::string& name) const {
    return Find(cpuMs_, name);
}

void ResultTable::Figure(const char* what, double value, const char* unit) {
    rows_.push_back(Row{what, unit, value, 0, false});
}

void ResultTable::AtMost(const char* what, double value, const char* unit, double target) {
    rows_.push_back(Row{what, unit, value, target, true});
}

void ResultTable::Print() const {
    std::printf("\n| Measure (%u cores) | Figure | Target |\n|---|---|---|\n",
                std::thread::hardware_concurrency());
    for (const Row& r : rows_) {
        if (!r.hasTarget) {
            std::printf("| %s | %.3g %s | |\n", r.what.c_str(), r.value, r.unit.c_str());
            continue;
        }
        const bool met = r.value <= r.target;
        std::printf("| %s | %.3g %s | <= %.3g %s, %s |\n", r.what.c_str(), r.value, r.unit.c_str(),
                    r.target, r.unit.c_str(), met ? "met" : "**missed**");
    }
}

double ProcessMemoryMb(qint64 pid, const char* field) {
    QFile status(QString("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const auto m = QRegularExpression(QString(field) + R"(:\s+(\d+) kB)")
                       .match(QString::fromLatin1(status.readAll()));
    return m.hasMatch() ? m.captured(1).toDouble() / 1024 : 0;
}

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
