#include "graphics/EffectParent.h"

#include "common/LogCall.h"
#include "common/XmlHelpers.h"

#include <OgreSceneManager.h>
#include <tinyxml.h>

#include <string>

namespace
{
const char* const GAME_ROOT = "_game";

Ogre::SceneNode* FindNode(Ogre::SceneManager& sceneManager, const std::string& name)
{
    // OGRE refuses to look an empty name up.
    if (!name.empty() && sceneManager.hasSceneNode(name))
        return sceneManager.getSceneNode(name);
    LOG_ERROR("SceneNode '%s' could not be found.", name.c_str());
    return nullptr;
}
} // namespace

Ogre::SceneNode* FindEffectParent(Ogre::SceneManager& sceneManager, const TiXmlElement& element)
{
    const std::string parent = element.FirstChildElement("parent") ? ChildText(element, "parent") : GAME_ROOT;
    Ogre::SceneNode* node = FindNode(sceneManager, parent);
    if (!node && parent != GAME_ROOT)
        node = FindNode(sceneManager, GAME_ROOT);
    return node;
}

Ogre::Plane SurfacePlane(const Ogre::SceneNode& parent)
{
    return Ogre::Plane(parent._getDerivedOrientation() * Ogre::Vector3::UNIT_Y, parent._getDerivedPosition());
}
