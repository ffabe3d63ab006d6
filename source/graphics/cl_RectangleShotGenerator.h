#pragma once

#include "graphics/cl_TrackingShotGenerator.h"

// Keeps the tracked object's focus node in view: the shot looks at the focus point's place on the active
// backdrop, pulled toward the plane's centre by the zoom.
class cl_RectangleShotGenerator : public cl_TrackingShotGenerator
{
public:
    // Reads `zoom` (1; one not above 0 is logged and stays 1); the target is always the focus node.
    explicit cl_RectangleShotGenerator(const TiXmlElement& element);

    // The shot built without values when no backdrop is active.
    cl_Shot GenerateShot() override;

private:
    float m_zoom = 1.0f;
};
