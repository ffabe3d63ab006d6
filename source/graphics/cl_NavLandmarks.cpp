#include "graphics/cl_NavLandmarks.h"

#include "graphics/cl_Navmesh.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <functional>
#include <limits>
#include <queue>
#include <utility>

namespace
{
// Least costs from source over the steps, in double.
std::vector<double> CostsFrom(int source, size_t edges, const std::vector<int>& stepStart,
                              const std::vector<st_NavStep>& steps)
{
    std::vector<double> cost(edges, std::numeric_limits<double>::infinity());
    using Open = std::pair<double, int>;
    std::priority_queue<Open, std::vector<Open>, std::greater<Open>> open;
    cost[source] = 0.0;
    open.push({0.0, source});
    while (!open.empty())
    {
        const Open top = open.top();
        open.pop();
        if (top.first > cost[top.second])
            continue;
        for (int i = stepStart[top.second]; i < stepStart[top.second + 1]; ++i)
        {
            const double candidate = top.first + steps[i].distance;
            if (candidate < cost[steps[i].edge])
            {
                cost[steps[i].edge] = candidate;
                open.push({candidate, steps[i].edge});
            }
        }
    }
    return cost;
}

bool HasTwins(size_t edges, const std::vector<int>& stepStart, const std::vector<st_NavStep>& steps)
{
    std::vector<std::pair<std::pair<int, int>, float>> there;
    std::vector<std::pair<std::pair<int, int>, float>> back;
    for (size_t e = 0; e < edges; ++e)
    {
        for (int i = stepStart[e]; i < stepStart[e + 1]; ++i)
        {
            there.push_back({{static_cast<int>(e), steps[i].edge}, steps[i].distance});
            back.push_back({{steps[i].edge, static_cast<int>(e)}, steps[i].distance});
        }
    }
    std::sort(there.begin(), there.end());
    std::sort(back.begin(), back.end());
    return there == back;
}
} // namespace

void cl_NavLandmarks::Build(size_t edges, const std::vector<int>& stepStart,
                            const std::vector<st_NavStep>& steps, bool enabled)
{
    m_costs.assign(edges * COUNT, std::numeric_limits<float>::quiet_NaN());
    m_highest = 0.0;
    m_symmetric = HasTwins(edges, stepStart, steps);
    if (edges == 0 || !enabled)
        return;
    // Each landmark is the edge farthest (by cost) from the ones before, starting from edge 0.
    std::vector<double> nearest = CostsFrom(0, edges, stepStart, steps);
    for (int k = 0; k < COUNT; ++k)
    {
        int farthest = -1;
        for (size_t e = 0; e < edges; ++e)
        {
            if (std::isfinite(nearest[e]) && nearest[e] > 0.0 &&
                (farthest < 0 || nearest[e] > nearest[farthest]))
                farthest = static_cast<int>(e);
        }
        if (farthest < 0)
            break;
        const std::vector<double> costs = CostsFrom(farthest, edges, stepStart, steps);
        for (size_t e = 0; e < edges; ++e)
        {
            nearest[e] = std::min(nearest[e], costs[e]);
            // Costs beyond the float range stay unknown.
            if (costs[e] <= FLT_MAX)
            {
                m_costs[e * COUNT + k] = static_cast<float>(costs[e]);
                m_highest = std::max(m_highest, costs[e]);
            }
        }
    }
}

cl_NavLandmarks::st_Span cl_NavLandmarks::SpanOf(const int* edges, int count) const
{
    st_Span span;
    for (int k = 0; k < COUNT; ++k)
    {
        span.lowest[k] = span.highest[k] = std::numeric_limits<float>::quiet_NaN();
        for (int i = 0; i < count && !m_costs.empty(); ++i)
        {
            const float cost = m_costs[static_cast<size_t>(edges[i]) * COUNT + k];
            if (std::isnan(cost))
                continue;
            span.lowest[k] = std::isnan(span.lowest[k]) ? cost : std::min(span.lowest[k], cost);
            span.highest[k] = std::isnan(span.highest[k]) ? cost : std::max(span.highest[k], cost);
        }
        // Without twins a cost bounds only what lies beyond it from its landmark.
        if (!m_symmetric)
            span.highest[k] = std::numeric_limits<float>::quiet_NaN();
    }
    return span;
}

float cl_NavLandmarks::LeastCost(int edge, const st_Span& span) const
{
    if (m_costs.empty())
        return 0.0f;
    // From a landmark L: cost(L, goal) <= cost(L, edge) + cost(edge, goal), and with twins also
    // cost(L, edge) <= cost(L, goal) + cost(goal, edge). Unknown (NaN) terms count as 0. Written lane by
    // lane so that it runs as a few vector instructions.
    const float* const costs = &m_costs[static_cast<size_t>(edge) * COUNT];
    float terms[COUNT];
    for (int k = 0; k < COUNT; ++k)
    {
        float forward = span.lowest[k] - costs[k];
        float backward = costs[k] - span.highest[k];
        forward = forward == forward ? forward : 0.0f;
        backward = backward == backward ? backward : 0.0f;
        terms[k] = forward > backward ? forward : backward;
    }
    for (int width = COUNT / 2; width > 0; width /= 2)
    {
        for (int k = 0; k < width; ++k)
            terms[k] = terms[k] > terms[k + width] ? terms[k] : terms[k + width];
    }
    return terms[0] > 0.0f ? terms[0] : 0.0f;
}
