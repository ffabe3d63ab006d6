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
        {
            const double iterations = static_cast<double>(run.iterations);
            m_real[run.run_name.str()].push_back(run.real_accumulated_time / iterations);
            m_cpu[run.run_name.str()].push_back(run.cpu_accumulated_time / iterations);
        }
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
    const auto median = [](std::vector<double> seconds)
    {
        std::sort(seconds.begin(), seconds.end());
        const size_t middle = seconds.size() / 2;
        return seconds.size() % 2 ? seconds[middle] : (seconds[middle - 1] + seconds[middle]) / 2.0;
    };
    BenchRatio::Medians medians;
    for (const auto& [name, seconds] : m_real)
        medians[name] = {median(seconds), median(m_cpu.at(name))};
    return medians;
}
