#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>

// Keeps the real and CPU time per iteration of every run, so that a benchmark can print its
// ratios after the table.
class TBenchReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs)
            if (r.iterations > 0) {
                Real[r.benchmark_name()] = r.real_accumulated_time / r.iterations;
                Cpu[r.benchmark_name()] = r.cpu_accumulated_time / r.iterations;
            }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> Real;
    std::map<std::string, double> Cpu;
};
