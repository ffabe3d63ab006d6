#pragma once

#include "graphics/cl_TrackingShotGenerator.h"

#include <map>

// Chooses among weighed shots the one whose place on the backdrop lies nearest the focus point's, the
// weight counting as closeness: the score of a shot is its weight over (its distance + 1).
class cl_MultiShotGenerator : public cl_TrackingShotGenerator
{
public:
    // Reads the `shot` children (`name`, `weight` 1); a name given twice keeps its last weight, a shot
    // without name is skipped (logged).
    explicit cl_MultiShotGenerator(const TiXmlElement& element);

    // The best scoring shot whole (its backdrop too); the first by name among equals. The shot built
    // without values when there are no shots.
    cl_Shot GenerateShot() override;

private:
    std::map<std::string, float> m_weights;
};
