#pragma once

#include "support/BenchRatio.h"

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

// The console report of repeated runs, reduced to their median and coefficient-of-variation lines, that
// also keeps each benchmark's time per iteration of every repetition for the ratios.
class MedianReporter : public benchmark::ConsoleReporter
{
public:
    // In colour only on a terminal, so that a saved report holds plain text.
    MedianReporter();

    void ReportRuns(const std::vector<Run>& runs) override;

    // Median seconds per iteration of each benchmark that ran without error.
    BenchRatio::Medians GetMedians() const;

private:
    // Seconds per iteration of each repetition, wall clock and CPU.
    std::map<std::string, std::vector<double>> m_real;
    std::map<std::string, std::vector<double>> m_cpu;
};
