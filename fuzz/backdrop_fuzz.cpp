// Feeds bytes to the backdrop and shot readers as a scene file: every `backdrop` element of every `scene`
// becomes a backdrop whose children are read as patches, is set up for a camera, activated, turned,
// zoomed and run for a few frames; every `shotactivator` of the scenes' `shots` becomes a shot generator
// that the camera runs. A refusal is fine; a crash, a hang, or a node or material left behind once the
// scene is gone is not.
#include "common/XmlParse.h"
#include "common/cl_CommandDistributor.h"
#include "common/cl_ValueSourceManager.h"
#include "graphics/cl_Backdrop.h"
#include "graphics/cl_Camera.h"
#include "graphics/cl_Scene.h"
#include "graphics/cl_SceneManager.h"
#include "graphics/cl_ShotGenerator.h"
#include "graphics/cl_ShotGeneratorFactory.h"
#include "support/HeadlessOgre.h"
#include "support/HeadlessTextures.h"
#include "support/ManualGameTime.h"

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
#include <vector>

namespace
{
void Require(bool condition, const char* what)
{
    if (!condition)
    {
        std::fprintf(stderr, "backdrop_fuzz: %s\n", what);
        std::abort();
    }
}

// The singletons a loaded scene reaches, made once for the whole run.
struct World
{
    World()
    {
        Ogre::SceneManager& sceneManager = ogre.SceneManager();
        camera = sceneManager.createCamera("LocationCam");
        camera->setAspectRatio(16.0f / 9.0f);
        root = sceneManager.getRootSceneNode()->createChildSceneNode("_game");
        for (const char* helper : {"a", "b", "c", "sp_default"})
            root->createChildSceneNode(helper, Ogre::Vector3(static_cast<float>(helper[0]), 0.0f, 10.0f));
        textures.AddTexture("hall.png", 800, 600);
        textures.AddTexture("torch.png", 64, 64);
    }

    size_t Materials() const
    {
        size_t count = 0;
        for (auto materials = Ogre::MaterialManager::getSingleton().getResourceIterator();
             materials.hasMoreElements(); materials.moveNext())
            ++count;
        return count;
    }

    cl_CommandDistributor distributor;
    ManualGameTime gameTime{distributor};
    cl_ValueSourceManager valueSources{distributor, gameTime};
    HeadlessOgre ogre;
    HeadlessTextures textures;
    cl_SceneManager scenes{distributor};
    cl_Camera shots{distributor};
    Ogre::Camera* camera = nullptr;
    Ogre::SceneNode* root = nullptr;
};

void Frames(World& world)
{
    for (float dt : {0.016f, 0.5f, 0.0f, 3.0f, -0.2f})
        world.gameTime.Update(dt);
}

void LoadBackdrop(World& world, cl_Scene& scene, const TiXmlElement& element, int index)
{
    double width = 800.0;
    double height = 600.0;
    element.Attribute("width", &width);
    element.Attribute("height", &height);
    cl_Backdrop* backdrop = scene.AddBackdrop(std::make_unique<cl_Backdrop>(
        static_cast<float>(width), static_cast<float>(height), "backdrop" + std::to_string(index % 3)));
    backdrop->Init(world.root, &world.ogre.SceneManager(), "camera", index % 2 == 0);
    for (const TiXmlElement* child = element.FirstChildElement(); child; child = child->NextSiblingElement())
    {
        if (cl_Patch* patch = backdrop->LoadPatch(*child))
            scene.AddPatch(std::to_string(index), patch);
    }
    const Ogre::Vector3 eye(0.0f, 500.0f, static_cast<float>(index));
    backdrop->SetCamera(
        world.camera, eye, eye + Ogre::Vector3(0.0f, -100.0f, 10.0f), 0.8f, Ogre::Quaternion::IDENTITY,
        Ogre::Quaternion(-Ogre::Vector3::UNIT_X, -Ogre::Vector3::UNIT_Z, -Ogre::Vector3::UNIT_Y));
    scene.ActivateBackdrop(backdrop->GetName());
    backdrop->RotateCamera(0.1f, -0.05f);
    backdrop->SetZoom(static_cast<float>(index % 4) * 0.5f);
    Frames(world);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static World world;
    const size_t materials = world.Materials();
    const unsigned short children = world.root->numChildren();

    TiXmlDocument document;
    ParseXml(document, std::string(reinterpret_cast<const char*>(data), size), "fuzz input");
    const TiXmlElement* root = document.RootElement();
    auto loaded = std::make_unique<cl_Scene>(TiXmlElement("scene"));
    cl_Scene& scene = *loaded;
    scene.SetSceneManager(&world.ogre.SceneManager());
    world.scenes.SetLoadedScene(std::move(loaded));

    int backdrops = 0;
    std::vector<std::string> generators;
    for (const TiXmlElement* sceneElement = root ? root->FirstChildElement("scene") : nullptr; sceneElement;
         sceneElement = sceneElement->NextSiblingElement("scene"))
    {
        for (const TiXmlElement* backdrop = sceneElement->FirstChildElement("backdrop");
             backdrop && backdrops < 8; backdrop = backdrop->NextSiblingElement("backdrop"))
            LoadBackdrop(world, scene, *backdrop, backdrops++);
        const TiXmlElement* shots = sceneElement->FirstChildElement("shots");
        for (const TiXmlElement* shot = shots ? shots->FirstChildElement("shot") : nullptr; shot;
             shot = shot->NextSiblingElement("shot"))
        {
            double x = 0.0;
            shot->Attribute("x", &x);
            world.shots.AddShot(shot->Attribute("name") ? shot->Attribute("name") : "",
                                Ogre::Vector3(x, -500, 0), 1.0f, 0.0f,
                                shot->Attribute("backdrop") ? shot->Attribute("backdrop") : "default");
        }
        for (const TiXmlElement* activator = shots ? shots->FirstChildElement("shotactivator") : nullptr;
             activator && generators.size() < 16; activator = activator->NextSiblingElement("shotactivator"))
        {
            if (std::unique_ptr<cl_ShotGenerator> generator = cl_ShotGeneratorFactory::Create(*activator))
            {
                generators.push_back(activator->Attribute("name") ? activator->Attribute("name") : "");
                world.shots.AddShotGenerator(generators.back(), std::move(generator));
            }
        }
    }
    world.shots.InitScene(world.camera);
    for (const std::string& name : generators)
    {
        world.shots.ActivateShot(name);
        Frames(world);
    }

    world.shots.Reset();
    world.scenes.SetLoadedScene(nullptr);
    Require(world.root->numChildren() == children, "a backdrop left a node behind");
    Require(world.Materials() == materials, "a patch left a material behind");
    return 0;
}
