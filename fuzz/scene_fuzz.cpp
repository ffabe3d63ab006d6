// Feeds bytes to the scene loader as a data file of `scene` elements: each scene is loaded at a quality
// level of its own (its backdrops, shots, scene document with entities, lights, helpers and node
// animations), runs a few frames, is reloaded in place and unloaded. A refusal is fine; a crash, a hang,
// or a node, entity, light, animation or material left behind once the scene is unloaded is not.
#include "common/XmlParse.h"
#include "common/cl_CommandDistributor.h"
#include "common/cl_ControllerManager.h"
#include "common/cl_ValueSourceManager.h"
#include "graphics/cl_Camera.h"
#include "graphics/cl_CharacterManager.h"
#include "graphics/cl_ItemManager.h"
#include "graphics/cl_Scene.h"
#include "graphics/cl_SceneLoader.h"
#include "graphics/cl_SceneManager.h"
#include "support/HeadlessOgre.h"
#include "support/HeadlessTextures.h"
#include "support/ManualGameTime.h"
#include "support/SceneStandIns.h"

#include <OgreCamera.h>
#include <OgreMaterialManager.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <tinyxml.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace
{
void Require(bool condition, const char* what)
{
    if (!condition)
    {
        std::fprintf(stderr, "scene_fuzz: %s\n", what);
        std::abort();
    }
}

template <class Iterator> size_t Count(Iterator iterator)
{
    size_t count = 0;
    for (; iterator.hasMoreElements(); iterator.moveNext())
        ++count;
    return count;
}

// The singletons a scene load reaches, and the demo's meshes, textures and shadow materials, made once.
struct World
{
    World()
    {
        Ogre::SceneManager& sceneManager = ogre.SceneManager();
        camera = sceneManager.createCamera("LocationCam");
        camera->setAspectRatio(4.0f / 3.0f);
        root = sceneManager.getRootSceneNode()->createChildSceneNode("_game");
        MakeSceneMeshes();
        MakeShadowMaterials();
        for (const char* texture : {"hall.png", "torch.png", "glow.png", "yard.png", "yard_branch.png"})
            textures.AddTexture(texture, 64, 64);
        // The first load makes the debug materials, which live for the run.
        auto empty = std::make_unique<cl_Scene>(TiXmlElement("scene"));
        empty->SetSceneManager(&sceneManager);
        loader.LoadScene(*empty, 0, false, "default");
        loader.UnloadScene(*empty, false);
    }

    size_t Materials() const { return Count(Ogre::MaterialManager::getSingleton().getResourceIterator()); }

    cl_CommandDistributor distributor;
    ManualGameTime gameTime{distributor};
    cl_ValueSourceManager valueSources{distributor, gameTime};
    cl_ControllerManager controllers;
    HeadlessOgre ogre;
    HeadlessTextures textures;
    cl_SceneManager scenes{distributor};
    cl_Camera shots{distributor};
    cl_CharacterManager characters{distributor};
    cl_ItemManager items{distributor};
    cl_SceneLoader loader;
    Ogre::Camera* camera = nullptr;
    Ogre::SceneNode* root = nullptr;
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static World world;
    Ogre::SceneManager& ogre = world.ogre.SceneManager();
    const size_t materials = world.Materials();

    TiXmlDocument document;
    ParseXml(document, std::string(reinterpret_cast<const char*>(data), size), "fuzz input");
    const TiXmlElement* file = document.RootElement();
    int level = 0;
    for (const TiXmlElement* element = file ? file->FirstChildElement("scene") : nullptr;
         element && level < 4; element = element->NextSiblingElement("scene"), ++level)
    {
        auto loaded = std::make_unique<cl_Scene>(*element);
        cl_Scene& scene = *loaded;
        scene.SetSceneManager(&ogre);
        scene.SetCamera(world.camera);
        world.scenes.SetLoadedScene(std::move(loaded));
        world.loader.LoadScene(scene, level % 3, false, "default");
        for (float dt : {0.016f, 0.5f, 0.0f})
            world.gameTime.Update(dt);
        world.loader.ReloadScene(level % 2 ? element : nullptr, (level + 1) % 3);
        world.gameTime.Update(0.1f);
        world.loader.UnloadScene(scene, false);
        world.loader.UnloadScene(scene, false);
        world.shots.Reset();
        world.scenes.SetLoadedScene(nullptr);

        Require(world.root->numChildren() == 0, "a node outlived its scene");
        Require(ogre.getMovableObjects("Entity").empty(), "an entity outlived its scene");
        Require(ogre.getMovableObjects("Light").empty(), "a light outlived its scene");
        Require(ogre.getAnimations().empty(), "a node animation outlived its scene");
        Require(world.Materials() == materials, "a material outlived its scene");
        Require(ogre.getShadowTechnique() == Ogre::SHADOWTYPE_NONE, "shadows outlived their scene");
    }
    return 0;
}
