#pragma once

#include <OgreVector.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

struct st_NavTriangle;

// A uniform grid on the ground plane (x, z) over the triangles of a navigation mesh, so that a vertical
// ray looks only at the triangles near it instead of all of them. It answers for triangles, never
// instead of them: callers test what it hands over exactly as they would test every triangle.
// Empty (callers then test every triangle) for vertices that are not finite or so large that squared
// distances could overflow, and for triangles so large that they would fill too many cells.
class cl_TriangleGrid
{
public:
    // Replaces the grid with one over triangles, whose corners index vertices.
    void Build(const std::vector<Ogre::Vector3>& vertices, const std::vector<st_NavTriangle>& triangles);
    bool IsEmpty() const { return m_columns == 0; }
    // Whether point is finite and small enough for the grid's distance bounds.
    static bool IsModest(const Ogre::Vector3& point);

    // Calls visit(triangle) for every triangle whose x-z bounds, slightly widened, hold point's x and z;
    // a triangle may come more than once.
    template <class Visit> void VisitCovering(const Ogre::Vector3& point, Visit&& visit) const;
    // Calls visit(triangle) for triangles in rings of cells around point's x and z, nearest ring first,
    // until every triangle whose centre lies within the x-z distance limit of point was visited. visit
    // returns the limit, which may shrink as the visit goes on (+infinity: visit them all).
    template <class Visit> void VisitCentresNear(const Ogre::Vector3& point, Visit&& visit) const;

private:
    // Cell (column, row) of x, z, clamped into the grid.
    int ColumnOf(float x) const;
    int RowOf(float z) const;

    float m_minX = 0.0f;
    float m_minZ = 0.0f;
    float m_cellSize = 1.0f;
    int m_columns = 0;
    int m_rows = 0;
    // Triangles of cell c: m_covering[m_coveringStart[c]] .. m_covering[m_coveringStart[c + 1] - 1].
    std::vector<int> m_coveringStart;
    std::vector<int> m_covering;
    std::vector<int> m_centreStart;
    std::vector<int> m_centres;
};

template <class Visit> void cl_TriangleGrid::VisitCovering(const Ogre::Vector3& point, Visit&& visit) const
{
    if (IsEmpty())
        return;
    const float column = std::floor((point.x - m_minX) / m_cellSize);
    const float row = std::floor((point.z - m_minZ) / m_cellSize);
    if (!(column >= 0.0f && column < m_columns && row >= 0.0f && row < m_rows))
        return;
    const int cell = static_cast<int>(row) * m_columns + static_cast<int>(column);
    for (int i = m_coveringStart[cell]; i < m_coveringStart[cell + 1]; ++i)
        visit(m_covering[i]);
}

template <class Visit> void cl_TriangleGrid::VisitCentresNear(const Ogre::Vector3& point, Visit&& visit) const
{
    if (IsEmpty())
        return;
    const int column = ColumnOf(point.x);
    const int row = RowOf(point.z);
    const int rings = std::max(m_columns, m_rows);
    float limit = std::numeric_limits<float>::infinity();
    for (int ring = 0; ring <= rings; ++ring)
    {
        // Centres in ring r lie at least r - 1 cells away (less a little for cell boundaries that
        // rounding may have shifted).
        if (ring >= 1 && (ring - 1.001f) * m_cellSize > limit)
            return;
        const int top = row - ring;
        const int bottom = row + ring;
        for (int r = std::max(top, 0); r <= std::min(bottom, m_rows - 1); ++r)
        {
            // Whole rows at the ring's top and bottom, the two side cells in between.
            const bool edgeRow = r == top || r == bottom;
            const int step = edgeRow ? 1 : std::max(2 * ring, 1);
            for (int c = column - ring; c <= column + ring; c += step)
            {
                if (c < 0 || c >= m_columns)
                    continue;
                const int cell = r * m_columns + c;
                for (int i = m_centreStart[cell]; i < m_centreStart[cell + 1]; ++i)
                    limit = std::min(limit, visit(m_centres[i]));
            }
        }
    }
}
