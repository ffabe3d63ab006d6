#include "graphics/cl_MixedShotGenerator.h"

#include "common/LogCall.h"
#include "common/XmlNumbers.h"
#include "graphics/cl_Camera.h"
#include "graphics/cl_Scene.h"

#include <OgreSceneNode.h>

#include <algorithm>

cl_MixedShotGenerator::cl_MixedShotGenerator(const TiXmlElement& element)
    : cl_TrackingShotGenerator(element), m_helper0(TextAttribute(element, "helper0", "")),
      m_helper1(TextAttribute(element, "helper1", "")), m_shot0(TextAttribute(element, "shot0", "")),
      m_shot1(TextAttribute(element, "shot1", ""))
{
    const cl_Scene* scene = cl_Camera::CurrentScene();
    for (const std::string* helper : {&m_helper0, &m_helper1})
    {
        if (scene && !scene->GetSceneNode(*helper))
            LOG_WARNING("The shot generator '%s' blends along the scene node '%s', which the scene lacks.",
                        m_name.c_str(), helper->c_str());
    }
}

cl_Shot cl_MixedShotGenerator::GenerateShot()
{
    const Ogre::Vector3 focus = GetFocusPosition();
    const cl_Scene* scene = cl_Camera::CurrentScene();
    const Ogre::SceneNode* start = scene ? scene->GetSceneNode(m_helper0) : nullptr;
    const Ogre::SceneNode* end = scene ? scene->GetSceneNode(m_helper1) : nullptr;
    cl_Camera* camera = cl_Camera::GetInstance();
    if (!start || !end || !camera)
        return cl_Shot();
    const Ogre::Vector3 a = start->_getDerivedPosition();
    const Ogre::Vector3 axis = end->_getDerivedPosition() - a;
    const float length = axis.length();
    // Two helpers in one place give no line to move along: the first shot.
    const float share = length > 0.0f ? (focus - a).dotProduct(axis / length) / length : 0.0f;
    return cl_Camera::InterpolateShots(camera->GetShot(m_shot0), camera->GetShot(m_shot1),
                                       std::min(std::max(share, 0.0f), 1.0f));
}
