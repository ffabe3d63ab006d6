#include "support/BenchRatio.h"

#include <cstdio>
#include <utility>

namespace
{
// Function-local, so that ratios declared as globals of any file find it built.
std::vector<const BenchRatio*>& Declared()
{
    static std::vector<const BenchRatio*> ratios;
    return ratios;
}
} // namespace

BenchRatio::BenchRatio(std::string title, std::string numerator, std::string denominator, Goal goal,
                       double bound, Clock clock)
    : m_title(std::move(title)), m_numerator(std::move(numerator)), m_denominator(std::move(denominator)),
      m_goal(goal), m_bound(bound), m_clock(clock)
{
    Declared().push_back(this);
}

std::vector<std::string> BenchRatio::Report(const Medians& medians)
{
    std::vector<std::string> lines;
    for (const BenchRatio* ratio : Declared())
        lines.push_back(ratio->Line(medians));
    return lines;
}

std::string BenchRatio::Line(const Medians& medians) const
{
    const auto numerator = medians.find(m_numerator);
    const auto denominator = medians.find(m_denominator);
    char line[512];
    const auto seconds = [this](const Median& median)
    { return m_clock == CPU_TIME ? median.cpu : median.real; };
    if (numerator == medians.end() || denominator == medians.end() || !(seconds(denominator->second) > 0.0))
    {
        std::snprintf(line, sizeof line, "ratio %s: not measured (%s or %s did not run)", m_title.c_str(),
                      m_numerator.c_str(), m_denominator.c_str());
        return line;
    }
    const double value = seconds(numerator->second) / seconds(denominator->second);
    const bool met = m_goal == AT_MOST ? value <= m_bound : value >= m_bound;
    std::snprintf(line, sizeof line, "ratio %s%s: %.2f (goal: at %s %.2f; %s)", m_title.c_str(),
                  m_clock == CPU_TIME ? " (CPU time)" : "", value, m_goal == AT_MOST ? "most" : "least",
                  m_bound, met ? "met" : "MISSED");
    return line;
}
