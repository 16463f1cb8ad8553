#pragma once

// What the benchmark programs share: their options, CPU clocks, the
// reporter that keeps each benchmark's time, and the one table of results.

#include <QByteArray>
#include <QString>
#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

struct BenchOptions {
    bool quick = false;
    QString workdir;              // empty: a temporary folder
    std::vector<char*> benchArgs; // what Google Benchmark is given
};
// --quick and --workdir DIR; everything else goes to Google Benchmark.
BenchOptions ParseBenchOptions(int argc, char** argv);
// Hands the remaining options to Google Benchmark and runs what was
// registered.
void RunRegisteredBenchmarks(BenchOptions& options, benchmark::BenchmarkReporter& reporter);

// CPU time of every thread of this process, and of its ended children.
double ProcessCpuMs();
double ChildrenCpuMs();
// libjpeg-turbo on its own, as its djpeg does: the file decoded to RGB rows
// (reduced by 1/denominator) that are dropped as they come.
void LibjpegDecode(const QByteArray& bytes, unsigned denominator);
// VmHWM (the most resident at once) or VmRSS of a process, in megabytes.
// Its own VmHWM is what a child has used: getrusage's maxrss starts from
// what the parent had resident when it forked.
double ProcessMemoryMb(qint64 pid, const char* field);

// Keeps each benchmark's real time and the CPU time of its thread per
// iteration, in milliseconds.
class CollectingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override;
    // 0 when the benchmark did not run.
    double Ms(const std::string& name) const;
    double CpuMs(const std::string& name) const;

private:
    std::map<std::string, double> ms_, cpuMs_;
};

// The results table: one row per measure with its figure, and where there
// is a target, whether it was met.
class ResultTable {
public:
    // A figure without target.
    void Figure(const char* what, double value, const char* unit);
    // A figure held to value <= target.
    void AtMost(const char* what, double value, const char* unit, double target);
    void Print() const;

private:
    struct Row {
        std::string what, unit;
        double value = 0, target = 0;
        bool hasTarget = false;
    };
    std::vector<Row> rows_;
};
