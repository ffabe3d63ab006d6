#include "support/MedianReporter.h"

#include <unistd.h>

#include <algorithm>

MedianReporter::MedianReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular) {}

void MedianReporter::ReportRuns(const std::vector<Run>& runs)
{
    std::vector<Run> shown;
    for (const Run& run : runs)
    {
        if (run.run_type == Run::RT_Iteration && !run.error_occurred && run.iterations > 0)
            m_seconds[run.run_name.str()].push_back(run.real_accumulated_time /
                                                    static_cast<double>(run.iterations));
        // A single run has no aggregates: it is shown itself.
        const bool aggregate = run.run_type == Run::RT_Aggregate;
        if (run.error_occurred || run.repetitions <= 1 ||
            (aggregate && (run.aggregate_name == "median" || run.aggregate_name == "cv")))
            shown.push_back(run);
    }
    if (!shown.empty())
        ConsoleReporter::ReportRuns(shown);
}

BenchRatio::Medians MedianReporter::GetMedians() const
{
    BenchRatio::Medians medians;
    for (const auto& [name, seconds] : m_seconds)
    {
        std::vector<double> sorted = seconds;
        std::sort(sorted.begin(), sorted.end());
        const size_t middle = sorted.size() / 2;
        medians[name] = sorted.size() % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2.0;
    }
    return medians;
}
