// The entry of every bench program: each benchmark repeated, the repetitions of all of them interleaved
// at random so that a slow spell of the machine falls on both sides of a ratio, medians shown, and the
// program's ratios printed last. Flags given on the command line come after the defaults and win.
#include "support/BenchRatio.h"
#include "support/MedianReporter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    std::vector<std::string> defaults = {"--benchmark_repetitions=9",
                                         "--benchmark_enable_random_interleaving=true"};
    std::vector<char*> arguments = {argv[0]};
    for (std::string& flag : defaults)
        arguments.push_back(flag.data());
    arguments.insert(arguments.end(), argv + 1, argv + argc);
    int count = static_cast<int>(arguments.size());
    benchmark::Initialize(&count, arguments.data());
    if (benchmark::ReportUnrecognizedArguments(count, arguments.data()))
        return 1;
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    for (const std::string& line : BenchRatio::Report(reporter.GetMedians()))
        std::printf("%s\n", line.c_str());
    return 0;
}
