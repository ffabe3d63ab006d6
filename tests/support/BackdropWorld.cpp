#include "support/BackdropWorld.h"

#include "common/XmlParse.h"
#include "graphics/cl_Backdrop.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_Puppet.h"
#include "graphics/cl_Scene.h"
#include "graphics/cl_ShotGenerator.h"
#include "graphics/cl_ShotGeneratorFactory.h"
#include "support/SceneDefinition.h"

#include <OgreCamera.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <tinyxml.h>

#include <cmath>

const Ogre::Vector3 BackdropWorld::EYE(0.0f, 500.0f, 0.0f);
const Ogre::Vector3 BackdropWorld::TARGET(0.0f, 400.0f, 0.0f);
const float BackdropWorld::FIELD_OF_VIEW = 2.0f * std::atan(0.4f);
// The scene document's tilting for a camera without rotation: the axes -X, -Z, -Y.
const Ogre::Quaternion BackdropWorld::PLANE_ORIENTATION(-Ogre::Vector3::UNIT_X, -Ogre::Vector3::UNIT_Z,
                                                        -Ogre::Vector3::UNIT_Y);

BackdropWorld::BackdropWorld()
{
    Ogre::SceneManager& sceneManager = ogre.SceneManager();
    ogreCamera = sceneManager.createCamera("LocationCam");
    ogreCamera->setAspectRatio(4.0f / 3.0f);
    // The backdrop's field of view across a 4:3 view.
    ogreCamera->setFOVy(Ogre::Radian(2.0f * std::atan(0.3f)));
    root = sceneManager.getRootSceneNode()->createChildSceneNode("_game");
    // A game in progress, whose state records the active backdrop; a new tree would take the scene down.
    gameState.ReplaceTree(TiXmlElement("gamestate"));
    auto loaded = MakeScene();
    scene = loaded.get();
    scene->SetSceneManager(&sceneManager);
    scenes.SetLoadedScene(std::move(loaded));
}

BackdropWorld::~BackdropWorld()
{
    // Backdrops and generators hold OGRE nodes and materials: they go while OGRE lives.
    camera.Reset();
    scenes.SetLoadedScene(nullptr);
    characters.UnloadCharacters();
}

cl_Backdrop& BackdropWorld::AddBackdrop(const std::string& name, float width, float height)
{
    cl_Backdrop* backdrop = scene->AddBackdrop(std::make_unique<cl_Backdrop>(width, height, name));
    backdrop->Init(root, &ogre.SceneManager(), "camera", true);
    SetUpBackdrop(*backdrop);
    return *backdrop;
}

void BackdropWorld::SetUpBackdrop(cl_Backdrop& backdrop)
{
    backdrop.SetCamera(ogreCamera, EYE, TARGET, FIELD_OF_VIEW, Ogre::Quaternion::IDENTITY, PLANE_ORIENTATION);
}

void BackdropWorld::StartScene(const std::string& backdrop)
{
    scene->ActivateBackdrop(backdrop);
    camera.InitScene(ogreCamera);
}

void BackdropWorld::AddAvatar(const Ogre::Vector3& position)
{
    cl_Character* hero = characters.AddCharacter(std::make_unique<cl_Character>(ogre.SceneManager(), "hero"));
    m_avatarNode = hero->GetSceneNode();
    root->addChild(m_avatarNode);
    m_avatarNode->setPosition(position);
    hub.SetCurrentCharacter("hero");
}

void BackdropWorld::MoveAvatar(const Ogre::Vector3& position)
{
    m_avatarNode->setPosition(position);
}

Ogre::SceneNode& BackdropWorld::AddNode(const std::string& name, const Ogre::Vector3& position)
{
    return *root->createChildSceneNode(name, position);
}

std::unique_ptr<cl_ShotGenerator> BackdropWorld::Generator(const std::string& xml)
{
    TiXmlDocument document;
    ParseXml(document, xml, "test element");
    return document.RootElement() ? cl_ShotGeneratorFactory::Create(*document.RootElement()) : nullptr;
}
