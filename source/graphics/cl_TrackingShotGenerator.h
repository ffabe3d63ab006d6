#pragma once

#include "graphics/cl_ShotGenerator.h"

#include <OgreVector.h>

#include <string>

class TiXmlElement;

// A shot generator that follows a point of a scene object through a focus point with a dead zone: the
// focus point moves only as far as needed to stay within the tolerance of the tracked point.
//
// Scene objects do not carry focus nodes, named points or an active state yet: for now every target name
// follows the object's puppet node, and every puppet counts as active.
class cl_TrackingShotGenerator : public cl_ShotGenerator
{
public:
    // Reads `objectname` ("avatar": the current character), `targetname` ("sceneNode") and
    // `tolerance` (0) of a `shotactivator` element.
    explicit cl_TrackingShotGenerator(const TiXmlElement& element);

    // The focus point after following the tracked point; the origin when there is no such object, and
    // the focus point as it was when the object has no point to follow.
    Ogre::Vector3 GetFocusPosition();

protected:
    // The generator's name, for log lines.
    std::string m_name;
    std::string m_objectName;
    std::string m_targetName;

private:
    float m_tolerance;
    Ogre::Vector3 m_focusPoint = Ogre::Vector3::ZERO;
};
