// Reads bytes as a "character" element (the root, or the first "character" of a data file's root) into a
// walker built in code through the character loader, once as its description and once more as a scene's
// character file (Extend). The walker then performs each kind of action on ground built in code, its state
// is saved, read back into a fresh walker and saved again. A crash, a hang, a node moved to a place that
// is no number, an action told its end other than once, or a second save whose placement, scale and
// distances differ from the first is a failure.
#include "common/XmlParse.h"
#include "common/cl_LuaScriptSystem.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_CharacterLoader.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_Navmesh.h"
#include "support/HeadlessOgre.h"
#include "support/ManualGameTime.h"
#include "support/RecordingInitiator.h"
#include "support/TestWalker.h"

#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <tinyxml.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

namespace
{
// OGRE without a window, the walker's model and ground, and a game time the frames advance.
struct World
{
    World()
    {
        MakeTestWalker();
        ground = MakeTestGround();
        game = ogre.SceneManager().getRootSceneNode()->createChildSceneNode("_game");
        target = game->createChildSceneNode("fuzz_target", Ogre::Vector3(150, 0, 200));
        ParseXml(puppet, WalkerPuppetXml(), "the walker");
    }
    void Frames(int count)
    {
        for (int frame = 0; frame < count; ++frame)
        {
            milliseconds += 50;
            time.SetMilliseconds(milliseconds);
            time.Update(0.05f);
        }
    }
    std::unique_ptr<cl_Character> Walker(const TiXmlElement& element)
    {
        auto walker = std::make_unique<cl_Character>(ogre.SceneManager(), "hero");
        walker->GetPuppet()->FromXml(puppet.RootElement());
        cl_CharacterLoader::Load(&element, walker.get());
        walker->SetLocation(st_ObjectPlacement{game});
        walker->SetNavmesh(ground.get());
        walker->SetActive(true);
        return walker;
    }

    HeadlessOgre ogre;
    cl_LuaScriptSystem scripts;
    ManualGameTime time{scripts};
    std::unique_ptr<cl_Navmesh> ground;
    Ogre::SceneNode* game;
    Ogre::SceneNode* target;
    TiXmlDocument puppet;
    uint32_t milliseconds = 0;
};

void CheckNode(const Ogre::SceneNode& node)
{
    const Ogre::Vector3& position = node.getPosition();
    const Ogre::Quaternion& orientation = node.getOrientation();
    if (!std::isfinite(position.x) || !std::isfinite(position.y) || !std::isfinite(position.z) ||
        !std::isfinite(orientation.w) || !std::isfinite(orientation.x) || !std::isfinite(orientation.y) ||
        !std::isfinite(orientation.z))
        std::abort();
}

// The character's own attributes of its saved state, in order.
std::string Saved(const cl_Character& character, TiXmlElement& state)
{
    character.SaveState(&state);
    std::string attributes;
    for (const char* name : {"offset", "rotation", "parent", "scene", "scale", "customOP", "exDist"})
        attributes += std::string(name) + "=" + (state.Attribute(name) ? state.Attribute(name) : "-") + ";";
    return attributes;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static World world;
    TiXmlDocument document;
    ParseXml(document, std::string(reinterpret_cast<const char*>(data), size), "fuzz input");
    const TiXmlElement* element = document.RootElement();
    if (element && element->ValueStr() != "character")
        element = element->FirstChildElement("character");
    if (!element)
        return 0;
    std::unique_ptr<cl_Character> hero = world.Walker(*element);
    cl_CharacterLoader::Extend(hero.get(), element);

    RecordingInitiator actions[5];
    hero->MoveTo(world.target, "", 0.0f, &actions[0]);
    world.Frames(40);
    hero->TurnTo(world.target, 0.0f, 0.0f, &actions[1]);
    world.Frames(40);
    hero->TurnToDirection(Ogre::Vector3(-300, 0, 0), 5.0f, &actions[2]);
    world.Frames(20);
    hero->FocusOnPoint(Ogre::Vector3(0, 100, -300), true, 30.0f, 5.0f, &actions[3]);
    hero->MoveAlongPath(Ogre::Vector3(-250, 0, 300), &actions[4]);
    world.Frames(60);
    CheckNode(*hero->GetSceneNode());
    hero->AbortAll();
    for (const RecordingInitiator& action : actions)
    {
        if (action.Ends() != 1)
            std::abort();
    }

    TiXmlElement saved("hero");
    const std::string first = Saved(*hero, saved);
    std::unique_ptr<cl_Character> again = world.Walker(*element);
    hero.reset();
    // Inactive, it keeps the transform it read (no scene is loaded to place it there).
    again->SetActive(false);
    again->LoadState(&saved);
    CheckNode(*again->GetSceneNode());
    TiXmlElement resaved("hero");
    if (Saved(*again, resaved) != first)
        std::abort();
    return 0;
}
