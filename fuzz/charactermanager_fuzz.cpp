// Reads bytes as a saved game's "charactermanager" element (the root itself, or the first such child of a
// game-state root) and has the character manager restore its characters and speaker map from it, then
// save them again: two walkers built in code, one active on ground built in code, one parked. A crash, a
// node moved to a place that is no number, or a saved tree that is no longer well-formed XML is a failure.
#include "assets/cl_GameState.h"
#include "common/XmlParse.h"
#include "common/cl_LuaScriptSystem.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_CharacterManager.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_Navmesh.h"
#include "support/HeadlessOgre.h"
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
struct World
{
    World()
    {
        MakeTestWalker();
        ground = MakeTestGround();
        game = ogre.SceneManager().getRootSceneNode()->createChildSceneNode("_game");
        ParseXml(puppet, WalkerPuppetXml(), "the walker");
        characters.Init(&ogre.SceneManager());
    }
    void AddWalker(const std::string& id, bool active)
    {
        auto walker = std::make_unique<cl_Character>(ogre.SceneManager(), id);
        walker->GetPuppet()->FromXml(puppet.RootElement());
        walker->SetLocation(st_ObjectPlacement{game});
        walker->SetActive(active);
        characters.AddCharacter(std::move(walker));
    }

    HeadlessOgre ogre;
    cl_LuaScriptSystem scripts;
    cl_GameState gameState;
    cl_CharacterManager characters{scripts};
    std::unique_ptr<cl_Navmesh> ground;
    Ogre::SceneNode* game;
    TiXmlDocument puppet;
};

void CheckNode(const Ogre::SceneNode& node)
{
    const Ogre::Vector3& position = node.getPosition();
    const Ogre::Vector3& scale = node.getScale();
    if (!std::isfinite(position.x) || !std::isfinite(position.y) || !std::isfinite(position.z) ||
        !std::isfinite(scale.x))
        std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static World world;
    TiXmlDocument document;
    ParseXml(document, std::string(reinterpret_cast<const char*>(data), size), "fuzz input");
    const TiXmlElement* element = document.RootElement();
    if (element && element->ValueStr() != "charactermanager")
        element = element->FirstChildElement("charactermanager");
    if (!element)
        return 0;
    TiXmlElement root("gamestate");
    root.InsertEndChild(*element);
    world.gameState.ReplaceTree(root);
    world.AddWalker("characters_hero", true);
    world.AddWalker("characters_keeper", false);
    world.characters.SetNavmesh(world.ground.get());

    world.characters.NotifyGameStateLoaded(&world.gameState);
    for (const auto& character : world.characters.GetCharacters())
        CheckNode(*character.second->GetSceneNode());
    world.characters.GetCharacterForSpeaker("characters_hero");
    world.characters.NotifyGameStateSaving(&world.gameState);
    TiXmlDocument reread;
    ParseXml(reread, PrintXml(*world.gameState.GetRoot()), "the saved tree");
    if (reread.Error() || !reread.RootElement())
        std::abort();
    world.characters.NotifyGameStateCleared();
    world.characters.UnloadCharacters();
    return 0;
}
