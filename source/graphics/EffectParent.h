#pragma once

#include <OgrePlane.h>

class TiXmlElement;

namespace Ogre
{
class SceneManager;
class SceneNode;
} // namespace Ogre

// The scene node an effect hangs on: the one the text of its element's first `parent` child names, "_game"
// without such a child. A name the scene lacks is logged ("SceneNode '%s' could not be found.") and
// "_game" is taken instead; null, logged as well, when the scene lacks that too.
Ogre::SceneNode* FindEffectParent(Ogre::SceneManager& sceneManager, const TiXmlElement& element);

// The plane of a mirror or water surface hanging on parent: through the node's world position, its normal
// the node's Y axis in the world.
Ogre::Plane SurfacePlane(const Ogre::SceneNode& parent);
