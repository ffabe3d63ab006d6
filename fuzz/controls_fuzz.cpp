// Reads bytes as character elements (the root itself, or each "character" of a data file's root) into a
// walker built in code: the character loader makes and reads their "controls" ("movectrl" and "turnctrl"
// among others) and walking distances, and every control of the walker reads each element below the root
// once more. The walker then walks across ground built in code and turns on the spot for a few seconds of
// game time. A crash, a hang, an exception, a node moved to a place that is no number, or a walk that
// never tells its initiator how it ended is a failure.
#include "common/XmlParse.h"
#include "common/cl_LuaScriptSystem.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_Navmesh.h"
#include "graphics/cl_TurnControl.h"
#include "support/CharacterFuzzInput.h"
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
const float FRAME = 1.0f / 20.0f;

// OGRE without a window, the walker's model and ground, and a game time the frames advance.
struct World
{
    World()
    {
        MakeTestWalker();
        ground = MakeTestGround();
        game = ogre.SceneManager().getRootSceneNode()->createChildSceneNode("_game");
        ParseXml(puppet, WalkerPuppetXml(), "the walker");
    }
    void Frames(int count)
    {
        for (int frame = 0; frame < count; ++frame)
        {
            milliseconds += 50;
            time.SetMilliseconds(milliseconds);
            time.Update(FRAME);
        }
    }

    HeadlessOgre ogre;
    cl_LuaScriptSystem scripts;
    ManualGameTime time{scripts};
    std::unique_ptr<cl_Navmesh> ground;
    Ogre::SceneNode* game;
    TiXmlDocument puppet;
    uint32_t milliseconds = 0;
};

bool IsFinite(const Ogre::Vector3& vector)
{
    return std::isfinite(vector.x) && std::isfinite(vector.y) && std::isfinite(vector.z);
}

void CheckNode(const Ogre::SceneNode& node)
{
    const Ogre::Quaternion& orientation = node.getOrientation();
    if (!IsFinite(node.getPosition()) || !std::isfinite(orientation.w) || !std::isfinite(orientation.x) ||
        !std::isfinite(orientation.y) || !std::isfinite(orientation.z))
        std::abort();
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
    cl_Character hero(world.ogre.SceneManager(), "hero");
    hero.GetPuppet()->FromXml(world.puppet.RootElement());
    ReadCharacterFuzzInput(*root, hero);
    hero.SetLocation(st_ObjectPlacement{world.game});
    hero.SetNavmesh(world.ground.get());
    hero.SetActive(true);

    RecordingInitiator walk;
    hero.MoveAlongPath(Ogre::Vector3(-250, 0, 300), &walk);
    world.Frames(120);
    CheckNode(*hero.GetSceneNode());
    // A walk still under way ends when the character leaves the scene, and is told so.
    hero.SetActive(false);
    if (walk.Ends() != 1)
        std::abort();

    hero.SetActive(true);
    if (cl_TurnControl* turn = hero.GetTurnControl())
    {
        turn->SetStandTolerances(0.05f, 5.0f);
        turn->StartTurn(cl_TurnControl::TURN_STAND,
                        hero.GetSceneNode()->getPosition() + Ogre::Vector3(100, 0, -50), 0.0f);
        world.Frames(60);
        CheckNode(*hero.GetSceneNode());
    }
    return 0;
}
