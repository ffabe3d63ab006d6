#pragma once

#include <memory>
#include <string>

class cl_Character;

namespace Ogre
{
class SceneManager;
}

// A scene object for tests on a HeadlessOgre (the character class, whose animation operations do nothing
// yet): its puppet has the submeshes "frame" (with a skeleton whose bone "hand" is 2 above the root) and
// "leaf", the slave objects "lamp" (with a skeleton like the frame's; each skeleton has a clip "idle") and
// "key", and the control "idle". Every part is a one-triangle mesh built in code.
std::unique_ptr<cl_Character> MakeTestBody(Ogre::SceneManager& sceneManager, const std::string& name);
