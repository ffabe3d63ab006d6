#pragma once

#include "graphics/cl_TrackingShotGenerator.h"

// Blends two shots by where the focus point lies along the line between two helper nodes of the scene:
// at or before the first node the first shot, at or beyond the second node the second.
class cl_MixedShotGenerator : public cl_TrackingShotGenerator
{
public:
    // Reads `helper0`, `helper1`, `shot0` and `shot1`; a helper that the loaded scene lacks is logged.
    explicit cl_MixedShotGenerator(const TiXmlElement& element);

    // The shot built without values when there is no loaded scene or a helper node is missing.
    cl_Shot GenerateShot() override;

private:
    std::string m_helper0;
    std::string m_helper1;
    std::string m_shot0;
    std::string m_shot1;
};
