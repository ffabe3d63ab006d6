#pragma once

#include "assets/cl_GameState.h"
#include "common/cl_LuaScriptSystem.h"
#include "common/cl_ValueSourceManager.h"
#include "gamecomponents/cl_GameComponents.h"
#include "graphics/cl_Camera.h"
#include "graphics/cl_CharacterManager.h"
#include "graphics/cl_SceneManager.h"
#include "support/HeadlessOgre.h"
#include "support/HeadlessTextures.h"
#include "support/LogCapture.h"
#include "support/ManualGameTime.h"

#include <OgreQuaternion.h>
#include <OgreVector.h>

#include <memory>
#include <string>

namespace Ogre
{
class Camera;
class SceneNode;
} // namespace Ogre

class cl_Backdrop;
class cl_Puppet;
class cl_Scene;
class cl_ShotGenerator;

// A loaded scene on headless OGRE with the singletons that backdrops, the camera and shot generators
// reach: script system, game time, value sources, game state, scene manager, camera, character manager and
// game components. The scene's node "_game" lies at the origin.
//
// The scene camera looks straight down from (0, 500, 0) with a horizontal field of view whose tangent of
// the half is 0.4 (the OGRE camera's too, in a 4:3 view); a backdrop of 800 × 600 set up for it
// (SetUpBackdrop) lies at y = -500 with scale 1, so that backdrop point (x, y) is the world point (x - 400,
// -500, y - 300).
class BackdropWorld
{
public:
    BackdropWorld();
    ~BackdropWorld();

    // A backdrop of the scene, initialised under "_game" and set up for the scene camera; not activated.
    cl_Backdrop& AddBackdrop(const std::string& name, float width = 800.0f, float height = 600.0f);
    // Sets up the backdrop for the scene camera as the scene document does.
    void SetUpBackdrop(cl_Backdrop& backdrop);
    // Starts the scene as its loader does: the backdrop is made active, then the camera starts.
    void StartScene(const std::string& backdrop);
    // A character standing at position, made the current one ("avatar").
    void AddAvatar(const Ogre::Vector3& position);
    // Moves the avatar.
    void MoveAvatar(const Ogre::Vector3& position);
    // A scene node under "_game".
    Ogre::SceneNode& AddNode(const std::string& name, const Ogre::Vector3& position);
    // The generator that the `shotactivator` XML text describes; null when the text makes none.
    std::unique_ptr<cl_ShotGenerator> Generator(const std::string& xml);

    static const Ogre::Vector3 EYE;
    static const Ogre::Vector3 TARGET;
    static const float FIELD_OF_VIEW;
    static const Ogre::Quaternion PLANE_ORIENTATION;

    LogCapture log;
    cl_LuaScriptSystem script;
    ManualGameTime gameTime{script};
    cl_ValueSourceManager valueSources{script, gameTime};
    cl_GameState gameState;
    HeadlessOgre ogre;
    HeadlessTextures textures;
    cl_SceneManager scenes{script};
    cl_Camera camera{script};
    cl_CharacterManager characters{script};
    cl_GameComponents hub{script};
    Ogre::Camera* ogreCamera = nullptr;
    Ogre::SceneNode* root = nullptr;
    cl_Scene* scene = nullptr;

private:
    Ogre::SceneNode* m_avatarNode = nullptr;
};
