#pragma once

#include "graphics/cl_ScriptTrigger.h"

#include <OgreVector.h>

#include <string>

// "proximity": on when the current character comes within the activate range of a point, off when it is at
// or beyond the deactivate range (two ranges give hysteresis). The point may follow a scene node.
class cl_ProximityTrigger : public cl_ScriptTrigger
{
public:
    // Without a current character nothing changes; a node the current scene lacks keeps the last point.
    void Update(float dt) override;
    // The first `range` (`activate`, `deactivate`) and `position` (`x`, `y`, `z`, or a scene node's name as
    // its text; without one the point is the origin), then the scripts and flags.
    bool LoadFromXml(const TiXmlElement* element) override;

private:
    float m_activateRange = 0.0f;
    float m_deactivateRange = 0.0f;
    Ogre::Vector3 m_position = Ogre::Vector3::ZERO;
    std::string m_node;
};
