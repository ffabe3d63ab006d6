// Feeds bytes to the trigger and patch item readers as a data file: the `triggers` of every `scene` are
// loaded into the trigger manager, every `patchitem` is declared to the item manager and built, and each of
// its animations plays for an initiator while the game time runs a few frames with the avatar walking
// past the torch; then the triggers are removed and the items unloaded. The scene has the animated patches
// "torch" and "torch_flare" and the plain patch "glow". Scripts do not run (there is no script system). A
// refusal is fine; a crash, a hang or an initiator told twice is not.
#include "assets/ISyncedActionInitiator.h"
#include "common/XmlParse.h"
#include "common/cl_CommandDistributor.h"
#include "common/cl_ValueSourceManager.h"
#include "gamecomponents/cl_GameComponents.h"
#include "graphics/cl_Backdrop.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_CharacterManager.h"
#include "graphics/cl_ItemManager.h"
#include "graphics/cl_PatchItem.h"
#include "graphics/cl_Scene.h"
#include "graphics/cl_SceneManager.h"
#include "graphics/cl_TriggerManager.h"
#include "support/HeadlessOgre.h"
#include "support/HeadlessTextures.h"
#include "support/ManualGameTime.h"

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
const char* const PATCHES = R"(<backdrop>
    <animatedpatch id="torch" src="torch.png" width="32" height="32" duration="2">
        <framelayout count="4" framesPerLine="2"/></animatedpatch>
    <animatedpatch id="torch_flare" src="torch.png" width="32" height="32" duration="1" visible="false"
        enabled="false"><framelayout count="4" framesPerLine="2"/></animatedpatch>
    <patch id="glow" src="torch.png" width="32" height="32"/></backdrop>)";

// Aborts when told the end of an action twice or without a start that could precede it.
class CheckingInitiator final : public ISyncedActionInitiator
{
public:
    void OnDone(int) override
    {
        if (done)
        {
            std::fprintf(stderr, "triggers_fuzz: an initiator was told its end twice\n");
            std::abort();
        }
        done = true;
    }
    void OnStarted() override {}
    void TimeOut(float) override {}

    bool done = false;
};

// The singletons the triggers and patch items reach, and a loaded scene with its patches and the avatar,
// made once for the whole run.
struct World
{
    World()
    {
        Ogre::SceneManager& sceneManager = ogre.SceneManager();
        root = sceneManager.getRootSceneNode()->createChildSceneNode("_game");
        root->createChildSceneNode("torch_fire", Ogre::Vector3(0.0f, 0.0f, -60.0f));
        textures.AddTexture("torch.png", 64, 64);
        auto loaded = std::make_unique<cl_Scene>(TiXmlElement("scene"));
        cl_Scene& scene = *loaded;
        scene.SetSceneManager(&sceneManager);
        scenes.SetLoadedScene(std::move(loaded));
        cl_Backdrop* backdrop = scene.AddBackdrop(std::make_unique<cl_Backdrop>(800.0f, 600.0f, "default"));
        backdrop->Init(root, &sceneManager, "camera", true);
        TiXmlDocument patches;
        ParseXml(patches, PATCHES, "patches");
        for (const TiXmlElement* child = patches.RootElement()->FirstChildElement(); child;
             child = child->NextSiblingElement())
        {
            if (cl_Patch* patch = backdrop->LoadPatch(*child))
                scene.AddPatch(child->Attribute("id"), patch);
        }
        items.Init(&sceneManager);
        avatar = characters.AddCharacter(std::make_unique<cl_Character>(sceneManager, "hero"));
        root->addChild(avatar->GetSceneNode());
        hub.SetCurrentCharacter("hero");
    }

    // Frames in which the avatar walks up to the torch's node and away.
    void Frames()
    {
        for (const float z : {200.0f, 0.0f, -50.0f, 100.0f, 300.0f})
        {
            avatar->GetSceneNode()->setPosition(0.0f, 0.0f, z);
            gameTime.Update(0.25f);
        }
    }

    cl_CommandDistributor distributor;
    ManualGameTime gameTime{distributor};
    cl_ValueSourceManager valueSources{distributor, gameTime};
    HeadlessOgre ogre;
    HeadlessTextures textures;
    cl_SceneManager scenes{distributor};
    cl_CharacterManager characters{distributor};
    cl_ItemManager items{distributor};
    cl_GameComponents hub{distributor};
    cl_TriggerManager triggers{distributor};
    Ogre::SceneNode* root = nullptr;
    cl_Character* avatar = nullptr;
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static World world;
    TiXmlDocument document;
    ParseXml(document, std::string(reinterpret_cast<const char*>(data), size), "fuzz input");
    const TiXmlElement* root = document.RootElement();

    std::vector<const TiXmlElement*> triggers;
    for (const TiXmlElement* scene = root ? root->FirstChildElement("scene") : nullptr;
         scene && triggers.size() < 8; scene = scene->NextSiblingElement("scene"))
    {
        triggers.push_back(scene->FirstChildElement("triggers"));
        world.triggers.LoadFromXml(triggers.back());
    }
    std::vector<std::string> ids;
    for (const TiXmlElement* item = root ? root->FirstChildElement("patchitem") : nullptr;
         item && ids.size() < 8; item = item->NextSiblingElement("patchitem"))
    {
        world.items.ParseElement(item, "fuzz", false);
        if (item->Attribute("assetref"))
            ids.emplace_back(item->Attribute("assetref"));
    }
    for (const std::string& id : ids)
    {
        cl_ItemEntry* entry = world.items.LoadItem(id);
        cl_PatchItem* item = entry ? entry->patchItem.get() : nullptr;
        if (!item)
            continue;
        std::vector<std::string> names;
        for (const auto& animation : item->GetAnimations())
            names.push_back(animation.first);
        for (const std::string& name : names)
        {
            CheckingInitiator initiator;
            item->PlayAnimation(name, &initiator);
            world.Frames();
            item->StopAnimation();
        }
    }
    world.Frames();
    for (const TiXmlElement* element : triggers)
        world.triggers.RemoveByXml(element);
    world.items.UnloadGroup("fuzz");
    world.Frames();
    return 0;
}
