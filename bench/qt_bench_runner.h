#pragma once
// Runs the benchmarks of a program that needs a QApplication (offscreen unless QT_QPA_PLATFORM
// says otherwise) and keeps each benchmark's real time by name for the closing ratio lines.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <map>
#include <string>
#include <vector>

namespace quobel::bench {

class TimeRecorder : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            Seconds[run.benchmark_name()] = run.GetAdjustedRealTime();
        }
    }
    std::map<std::string, double> Seconds;
};

inline std::map<std::string, double> RunQtBenchmarks(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    TimeRecorder recorder;
    benchmark::RunSpecifiedBenchmarks(&recorder);
    return recorder.Seconds;
}

}  // namespace quobel::bench
