#pragma once

#include "common/cl_ControllerManager.h"
#include "common/cl_ValueSourceManager.h"
#include "gamecomponents/cl_GameComponents.h"
#include "graphics/cl_Camera.h"
#include "graphics/cl_CharacterManager.h"
#include "graphics/cl_EffectManager.h"
#include "graphics/cl_ItemManager.h"
#include "graphics/cl_SceneLoader.h"
#include "graphics/cl_SceneManager.h"
#include "graphics/cl_TriggerManager.h"
#include "sound/cl_Sound.h"
#include "support/AssetWorld.h"
#include "support/HeadlessOgre.h"
#include "support/HeadlessTextures.h"

#include <functional>
#include <string>
#include <vector>

namespace Ogre
{
class Camera;
class SceneManager;
class SceneNode;
} // namespace Ogre

class cl_Character;
class cl_Scene;
class cl_SceneObject;

// The scene loader at work on headless OGRE, with every singleton a load reaches: the game logic of the
// chapter in tests/graphics/scenes (locations A and B, their items and characters, its new-game state),
// value sources, controllers, recording trigger and effect managers, sound, scene manager, camera,
// character and item managers and the game components (the sound is the asset world's). The folder is also a
// game-data location, so scene documents may include its files. The node "_game" lies at the origin; the OGRE
// camera is "LocationCam".
class SceneWorld
{
public:
    enum Chapter
    {
        // The chapter of tests/graphics/scenes.
        TEST_CHAPTER,
        // The demo's first chapter with its new-game state, its chapter folder as the build lays it out
        // ("CHAPTERDATA" data/chapter1; not the common data, whose scripts need a render system) and the
        // scenes of its scenes.tdf kept by the scene manager, whose curtain is made: scenes are entered
        // through the scene manager.
        DEMO_CHAPTER,
    };

    explicit SceneWorld(Chapter chapter = TEST_CHAPTER);
    // Unloads a loaded scene, then lets the scene, items and characters go while OGRE lives.
    ~SceneWorld();

    // The scene of the `scene` element in xml, made the scene manager's loaded scene with the OGRE scene
    // manager and camera; not loaded yet.
    cl_Scene& PutScene(const std::string& xml);
    // PutScene, then loads it at the quality level on its backdrop "default".
    cl_Scene& LoadScene(const std::string& xml, int qualityLevel = cl_SceneLoader::QUALITY_HIGH);
    // Unloads the scene manager's loaded scene.
    void UnloadScene(bool keepCharacters = false);
    cl_Scene& Scene() const;
    Ogre::SceneManager& SceneManager() const { return ogre.SceneManager(); }

    // A body (test meshes) for the item or character of that id, owned by its manager.
    cl_SceneObject& AddItem(const std::string& id);
    cl_Character& AddCharacter(const std::string& id);
    // The name of a mesh: a flat square of side 20 around the origin, in the XZ plane, facing up; made on
    // first use.
    static std::string Mesh(const std::string& name);

    // The trigger and effect managers' calls from the loader, in order: "triggers load", "triggers
    // remove", "effects load", "effects unload", each followed by " none" when it got no element.
    std::vector<std::string> calls;
    // Called with each of those as it happens, to look at the world at that moment.
    std::function<void(const std::string&)> onCall;

    AssetWorld assets;
    HeadlessOgre ogre;
    HeadlessTextures textures;

private:
    // The trigger and effect managers, recording the loader's calls into calls.
    class Triggers : public cl_TriggerManager
    {
    public:
        explicit Triggers(SceneWorld& world);
        void LoadFromXml(const TiXmlElement* triggers) override;
        void RemoveByXml(const TiXmlElement* triggers) override;

    private:
        SceneWorld& m_world;
    };
    class Effects : public cl_EffectManager
    {
    public:
        explicit Effects(SceneWorld& world);
        void LoadEffects(const TiXmlElement* effects, const QualityTest& isAllowedByQuality,
                         Ogre::SceneManager* sceneManager) override;
        void UnloadEffects(const TiXmlElement* effects) override;

    private:
        SceneWorld& m_world;
    };
    void Record(const std::string& call, const TiXmlElement* element);

    Chapter m_chapter;

public:
    cl_ValueSourceManager valueSources{assets.script, assets.gameTime};
    cl_ControllerManager controllers;
    Triggers triggers{*this};
    Effects effects{*this};
    cl_Sound& sound = assets.sound;
    cl_SceneManager scenes{assets.script};
    cl_Camera camera{assets.script};
    cl_CharacterManager characters{assets.script};
    cl_ItemManager items{assets.script};
    cl_GameComponents hub{assets.script};
    cl_SceneLoader loader;
    Ogre::Camera* ogreCamera = nullptr;
    Ogre::SceneNode* root = nullptr;
};
