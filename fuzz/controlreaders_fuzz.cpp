// Reads bytes as character elements (the root itself, or each "character" of a data file's root) into the
// demo's hero (meshes, skeleton and poses as the build lays them out) through the character loader, which
// makes his controls, step sounds and blob shadow, and hands every element below the root to each control
// of his once more. Then he is placed, left alone, made to look at points, speak and show emotions, and
// switched between visual states for a few seconds of game time; each control's state is saved and loaded. A
// crash, a hang, an exception, or a bone or node turned or moved to a place that is no number is a failure.
#include "common/XmlParse.h"
#include "graphics/cl_AutoActionControl.h"
#include "graphics/cl_BlobShadow.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_FaceControl.h"
#include "graphics/cl_FocusTargetControl.h"
#include "graphics/cl_Navmesh.h"
#include "platform/GameRand.h"
#include "support/CharacterFuzzInput.h"
#include "support/HeadlessOgre.h"
#include "support/HeadlessTextures.h"
#include "support/TriangleMesh.h"

#include <OgreBone.h>
#include <OgreResourceGroupManager.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreSkeletonInstance.h>
#include <tinyxml.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

namespace
{
const float FRAME = 1.0f / 20.0f;

// OGRE without a window, the chapter's folder as the group "CHAPTERDATA", the hero's "puppet" element and
// flat ground.
struct World
{
    World()
    {
        Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
        groups.addResourceLocation(QUILLMERE_BUILT_DEMO_DIR "data/chapter1", "FileSystem", "CHAPTERDATA");
        groups.initialiseResourceGroup("CHAPTERDATA");
        game = ogre.SceneManager().getRootSceneNode()->createChildSceneNode("_game");
        if (!LoadXmlFile(characters, QUILLMERE_BUILT_DEMO_DIR "data/chapter1/characters.tdf"))
            std::abort();
        hero = characters.RootElement()->FirstChildElement("character")->FirstChildElement("puppet");
        CreateTriangleMesh("ground.mesh", {{-500, 0, -500}, {-500, 0, 500}, {500, 0, -500}, {500, 0, 500}},
                           {0, 1, 2, 2, 1, 3});
        ground.Load("ground.mesh", Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY, Ogre::Vector3::UNIT_SCALE,
                    0);
    }
    HeadlessOgre ogre;
    // The chapter's materials and the blob shadows name textures.
    HeadlessTextures textures;
    Ogre::SceneNode* game;
    TiXmlDocument characters;
    const TiXmlElement* hero = nullptr;
    cl_Navmesh ground;
};

// Frames of the character and its puppet, as the game time would run them.
void Frames(cl_Character& character, int count)
{
    for (int frame = 0; frame < count; ++frame)
    {
        character.Update(FRAME);
        character.GetPuppet()->Update(FRAME);
    }
}

bool IsFinite(const Ogre::Vector3& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

bool IsFinite(const Ogre::Quaternion& q)
{
    return std::isfinite(q.w) && std::isfinite(q.x) && std::isfinite(q.y) && std::isfinite(q.z);
}

void Check(const cl_Character& hero)
{
    const Ogre::SceneNode& node = *hero.GetSceneNode();
    if (!IsFinite(node.getPosition()) || !IsFinite(node.getOrientation()))
        std::abort();
    if (const Ogre::SkeletonInstance* skeleton = hero.GetPuppet()->GetSkeleton())
    {
        for (unsigned short index = 0; index < skeleton->getNumBones(); ++index)
        {
            if (!IsFinite(skeleton->getBone(index)->getOrientation()))
                std::abort();
        }
    }
    cl_BlobShadow* shadow = hero.GetBlobShadow();
    for (int index = 0; shadow && index < shadow->GetElementCount(); ++index)
    {
        const Ogre::SceneNode* quad = shadow->GetElement(index)->node;
        if (quad && (!IsFinite(quad->getPosition()) || !IsFinite(quad->getScale())))
            std::abort();
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static World world;
    TiXmlDocument document;
    ParseXml(document, std::string(reinterpret_cast<const char*>(data), size), "fuzz input");
    const TiXmlElement* root = document.RootElement();
    if (!root)
        return 0;
    platform::GameSrand(static_cast<unsigned>(size));
    cl_Character hero(world.ogre.SceneManager(), "hero");
    hero.GetPuppet()->FromXml(world.hero);
    ReadCharacterFuzzInput(*root, hero);
    hero.SetNavmesh(&world.ground);
    hero.SetLocation(st_ObjectPlacement{world.game});
    hero.SetActive(true);
    Frames(hero, 40);
    Check(hero);

    const Ogre::Vector3 head = hero.GetPuppet()->GetWorldPosition("head");
    for (const std::string& name : hero.GetPuppet()->GetControlNames())
    {
        cl_PuppetControl* control = hero.GetPuppet()->GetControl(name);
        if (auto* focus = dynamic_cast<cl_FocusTargetControl*>(control))
        {
            focus->SetGlanceAmplitude(5.0f);
            focus->SetTarget(head + Ogre::Vector3(80, -20, 60));
        }
        else if (auto* face = dynamic_cast<cl_FaceControl*>(control))
        {
            face->SetSpeaking(true);
            face->SetSpeechLevel(0.7f);
            for (const auto& emotion : face->GetEmotions())
                face->ActivateEmotionTemporary(emotion.first, 0.5f, 1.0f, 0.2f, 0.2f);
        }
        else if (auto* action = dynamic_cast<cl_AutoActionControl*>(control))
            action->TriggerAction();
    }
    for (const char* state : {"thinking", "default", "tired"})
    {
        hero.SetVisualState(state);
        Frames(hero, 20);
        Check(hero);
    }
    hero.SetScale(2.0f);
    hero.GetSceneNode()->setPosition(0, 0, 600);
    for (const std::string& name : hero.GetPuppet()->GetControlNames())
    {
        cl_PuppetControl* control = hero.GetPuppet()->GetControl(name);
        if (auto* focus = dynamic_cast<cl_FocusTargetControl*>(control))
            focus->SetTarget(head);
        TiXmlElement state("control");
        control->SaveState(state);
        control->SetEnabled(false);
        control->LoadState(state);
    }
    Frames(hero, 30);
    Check(hero);
    hero.SetLocation(st_ObjectPlacement{});
    Frames(hero, 2);
    return 0;
}
