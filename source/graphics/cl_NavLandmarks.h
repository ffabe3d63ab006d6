#pragma once

#include <cstddef>
#include <vector>

struct st_NavStep;

// Costs over the steps of a navigation mesh's path search from a few edges far apart from each other.
// By the triangle inequality they bound the cost between any two edges from below far better than the
// straight distance does where walls stand in the way, which keeps a search toward a goal small.
class cl_NavLandmarks
{
public:
    static constexpr int COUNT = 8;

    // Per landmark: the least and the greatest known cost of reaching a set of edges (NaN: none known).
    struct st_Span
    {
        float lowest[COUNT];
        float highest[COUNT];
    };

    // Picks up to COUNT landmarks (each the edge farthest from those picked before) and works out every
    // edge's cost from each; none when enabled is false. stepStart and steps list the steps out of each
    // edge (as in cl_Navmesh).
    void Build(size_t edges, const std::vector<int>& stepStart, const std::vector<st_NavStep>& steps,
               bool enabled);
    // The span of the edges (count of them, any index may stand twice).
    st_Span SpanOf(const int* edges, int count) const;
    // A lower bound (0 when nothing is known) of the cost from edge to the edges of span.
    float LeastCost(int edge, const st_Span& span) const;
    // The largest cost in the table; rounding of the bounds stays far below its float precision.
    double Highest() const { return m_highest; }

private:
    std::vector<float> m_costs; // edge by edge, COUNT per edge; NaN where unknown
    bool m_symmetric = false;   // every step has a twin of the same length back
    double m_highest = 0.0;
};
