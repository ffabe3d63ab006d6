#pragma once

#include <map>
#include <string>
#include <vector>

// A figure a bench program prints after all its runs: the median time per iteration of one benchmark
// divided by that of another, measured in the same process over the same input, with the repetitions of
// every benchmark interleaved at random. Programs declare theirs as globals, beside their BENCHMARKs:
//     const BenchRatio loadRatio("chapter load / bare parse", "BM_ChapterLoad", "BM_BareParse",
//                                BenchRatio::AT_MOST, 2.0);
// Names are the benchmarks' full names as printed (with their arguments: "BM_Find/356"). Times are wall
// clock unless a ratio asks for the process's CPU time, which leaves out waiting for the disk.
class BenchRatio
{
public:
    enum Goal
    {
        AT_MOST,
        AT_LEAST,
    };
    enum Clock
    {
        REAL_TIME,
        CPU_TIME,
    };
    // Median seconds per iteration of a benchmark, each clock's median on its own.
    struct Median
    {
        double real;
        double cpu;
    };
    // Of each benchmark that ran without error, by full name.
    using Medians = std::map<std::string, Median>;

    BenchRatio(std::string title, std::string numerator, std::string denominator, Goal goal, double bound,
               Clock clock = REAL_TIME);

    // The line of every declared ratio, in declaration order; a ratio whose benchmark did not run says so.
    static std::vector<std::string> Report(const Medians& medians);

private:
    std::string Line(const Medians& medians) const;

    std::string m_title;
    std::string m_numerator;
    std::string m_denominator;
    Goal m_goal;
    double m_bound;
    Clock m_clock;
};
