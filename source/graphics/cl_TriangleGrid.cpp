#include "graphics/cl_TriangleGrid.h"

#include "graphics/cl_Navmesh.h"

namespace
{
// Coordinates up to this size keep squared distances far from overflowing a float.
const float MODEST = 1e15f;
// A triangle goes into every cell its bounds touch: past this many entries per triangle the grid would
// cost more than it saves.
const size_t MAX_ENTRIES_PER_TRIANGLE = 32;

struct Bounds
{
    float minX, minZ, maxX, maxZ;
};

// Fills start (cell count + 1 entries) and entries from per-triangle cell ranges, cell by cell.
template <class CellsOf>
void FillCells(int cellCount, size_t triangles, CellsOf&& cellsOf, std::vector<int>& start,
               std::vector<int>& entries)
{
    start.assign(cellCount + 1, 0);
    for (size_t t = 0; t < triangles; ++t)
        cellsOf(t, [&](int cell) { ++start[cell + 1]; });
    for (int c = 0; c < cellCount; ++c)
        start[c + 1] += start[c];
    entries.resize(start[cellCount]);
    std::vector<int> next(start.begin(), start.end() - 1);
    for (size_t t = 0; t < triangles; ++t)
        cellsOf(t, [&](int cell) { entries[next[cell]++] = static_cast<int>(t); });
}
} // namespace

bool cl_TriangleGrid::IsModest(const Ogre::Vector3& point)
{
    return std::fabs(point.x) <= MODEST && std::fabs(point.y) <= MODEST && std::fabs(point.z) <= MODEST;
}

int cl_TriangleGrid::ColumnOf(float x) const
{
    return static_cast<int>(std::clamp(std::floor((x - m_minX) / m_cellSize), 0.0f, m_columns - 1.0f));
}

int cl_TriangleGrid::RowOf(float z) const
{
    return static_cast<int>(std::clamp(std::floor((z - m_minZ) / m_cellSize), 0.0f, m_rows - 1.0f));
}

void cl_TriangleGrid::Build(const std::vector<Ogre::Vector3>& vertices,
                            const std::vector<st_NavTriangle>& triangles)
{
    m_columns = m_rows = 0;
    m_coveringStart.clear();
    m_covering.clear();
    m_centreStart.clear();
    m_centres.clear();
    if (triangles.empty() || !std::all_of(vertices.begin(), vertices.end(), IsModest))
        return;

    std::vector<Bounds> bounds;
    bounds.reserve(triangles.size());
    Bounds all = {MODEST, MODEST, -MODEST, -MODEST};
    float magnitude = 0.0f;
    for (const st_NavTriangle& triangle : triangles)
    {
        Bounds b = {MODEST, MODEST, -MODEST, -MODEST};
        for (const int corner : triangle.corners)
        {
            const Ogre::Vector3& v = vertices[corner];
            b = {std::min(b.minX, v.x), std::min(b.minZ, v.z), std::max(b.maxX, v.x), std::max(b.maxZ, v.z)};
            magnitude = std::max({magnitude, std::fabs(v.x), std::fabs(v.z)});
        }
        bounds.push_back(b);
        all = {std::min(all.minX, b.minX), std::min(all.minZ, b.minZ), std::max(all.maxX, b.maxX),
               std::max(all.maxZ, b.maxZ)};
    }

    // About two triangles to a cell; bounds are widened far beyond any rounding of the inside test.
    const double width = static_cast<double>(all.maxX) - all.minX;
    const double depth = static_cast<double>(all.maxZ) - all.minZ;
    const double area =
        std::max(width * depth, std::max(width, depth) * std::max(width, depth) / triangles.size());
    m_cellSize = static_cast<float>(std::sqrt(2.0 * area / triangles.size()));
    if (!(m_cellSize > 0.0f))
        m_cellSize = 1.0f;
    const float pad = 1e-4f * (magnitude + m_cellSize);
    m_minX = all.minX - pad;
    m_minZ = all.minZ - pad;
    m_columns = static_cast<int>(std::min(width / m_cellSize + 2.0, 1e6));
    m_rows = static_cast<int>(std::min(depth / m_cellSize + 2.0, 1e6));
    if (static_cast<double>(m_columns) * m_rows > 4.0 * triangles.size() + 16.0)
    {
        m_columns = 0;
        return;
    }

    size_t entries = 0;
    const auto covered = [&](size_t t, auto&& add)
    {
        const Bounds& b = bounds[t];
        const int c0 = ColumnOf(b.minX - pad);
        const int c1 = ColumnOf(b.maxX + pad);
        const int r0 = RowOf(b.minZ - pad);
        const int r1 = RowOf(b.maxZ + pad);
        for (int r = r0; r <= r1; ++r)
        {
            for (int c = c0; c <= c1; ++c)
                add(r * m_columns + c);
        }
    };
    for (size_t t = 0; t < triangles.size(); ++t)
        covered(t, [&](int) { ++entries; });
    if (entries > MAX_ENTRIES_PER_TRIANGLE * triangles.size())
    {
        m_columns = 0;
        return;
    }
    const int cellCount = m_columns * m_rows;
    FillCells(cellCount, triangles.size(), covered, m_coveringStart, m_covering);
    FillCells(
        cellCount, triangles.size(),
        [&](size_t t, auto&& add)
        { add(RowOf(triangles[t].centre.z) * m_columns + ColumnOf(triangles[t].centre.x)); },
        m_centreStart, m_centres);
}
