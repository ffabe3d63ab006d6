#include "graphics/cl_TrackingShotGenerator.h"

#include "common/XmlNumbers.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_SceneObject.h"

#include <OgreSceneNode.h>

namespace
{
// Where the tracked object's point is now; false when it has none.
bool TrackedPoint(const cl_SceneObject& object, Ogre::Vector3& point)
{
    const cl_Puppet* puppet = object.GetPuppet();
    const Ogre::SceneNode* node = puppet ? puppet->GetSceneNode() : nullptr;
    if (!node)
        return false;
    point = node->_getDerivedPosition();
    return true;
}
} // namespace

cl_TrackingShotGenerator::cl_TrackingShotGenerator(const TiXmlElement& element)
    : m_name(TextAttribute(element, "name", "")),
      m_objectName(TextAttribute(element, "objectname", "avatar")),
      m_targetName(TextAttribute(element, "targetname", "sceneNode")),
      m_tolerance(NumberAttribute(element, "tolerance", 0.0f))
{
}

Ogre::Vector3 cl_TrackingShotGenerator::GetFocusPosition()
{
    const cl_SceneObject* object = cl_SceneObject::ResolveByName(m_objectName);
    if (!object)
        return Ogre::Vector3::ZERO;
    Ogre::Vector3 target;
    if (!TrackedPoint(*object, target))
        return m_focusPoint;
    const Ogre::Vector3 toTarget = target - m_focusPoint;
    const float length = toTarget.length();
    if (length > m_tolerance)
        m_focusPoint += toTarget * ((length - m_tolerance) / length);
    return m_focusPoint;
}
