#pragma once

#include "graphics/cl_TrackingShotGenerator.h"

#include <vector>

// Follows a chain of points, each with a shot: every segment between two neighbouring points blends
// their shots by where the focus point lies along it, and the segments are weighed by how near the focus
// point is (a segment below its threshold weight takes no part).
class cl_SplineShotGenerator : public cl_TrackingShotGenerator
{
public:
    struct SplinePoint
    {
        // The helper node's world position when the generator was built.
        Ogre::Vector3 position;
        std::string shot;
        float threshold = 0.0f;
        float radius = 0.0f;
        // Of the segment from this point to the next; the last point has none.
        cl_Shot segmentShot;
        float segmentThreshold = 0.0f;
        float squaredDistance = 0.0f;
        float weight = 0.0f;
    };

    // Reads the `point` children (`helper`, `shot`, `threshold`, `radius`) in document order; a point
    // whose helper is no node of the loaded scene is skipped (logged).
    explicit cl_SplineShotGenerator(const TiXmlElement& element);

    // Position and zoom blended over the segments, no roll. The shot built without values when there is
    // no current character, fewer than two points, a focus point right on a segment or no segment with
    // any weight.
    cl_Shot GenerateShot() override;

    const std::vector<SplinePoint>& GetPoints() const { return m_points; }

private:
    void UpdateSegments(const Ogre::Vector3& focus);
    // False when the weights cannot be told (a distance of 0, or every weight 0).
    bool UpdateWeights();

    std::vector<SplinePoint> m_points;
};
