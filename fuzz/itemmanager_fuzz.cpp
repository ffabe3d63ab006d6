// Reads bytes as a data file of `item` and `patchitem` definitions, with an optional `gamestate` whose
// "itemmanager" element holds the items' saved state. Every definition is built, placed under its name,
// saved, taken out of the scene, run a frame, removed and built again under its name; then the chapter is
// unloaded. A crash, a hang, a save that is no XML, or an entity left once the items are unloaded is a
// failure.
#include "assets/cl_GameState.h"
#include "common/XmlHelpers.h"
#include "common/XmlParse.h"
#include "common/cl_CommandDistributor.h"
#include "graphics/cl_ItemManager.h"
#include "graphics/cl_SceneObject.h"
#include "support/HeadlessOgre.h"
#include "support/HeadlessTextures.h"
#include "support/ManualGameTime.h"
#include "support/PrintedXml.h"

#include <OgreResourceGroupManager.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <tinyxml.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{
// OGRE without a window, the demo chapter's folder (its meshes, skeletons and materials as the build lays
// them out) as the group "CHAPTERDATA", and the singletons the item manager reaches.
struct World
{
    World()
    {
        Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
        groups.addResourceLocation(QUILLMERE_BUILT_DEMO_DIR "data/chapter1", "FileSystem", "CHAPTERDATA");
        groups.initialiseResourceGroup("CHAPTERDATA");
        game = ogre.SceneManager().getRootSceneNode()->createChildSceneNode("_game");
        items.Init(&ogre.SceneManager());
    }

    HeadlessOgre ogre;
    HeadlessTextures textures;
    cl_CommandDistributor distributor;
    ManualGameTime gameTime{distributor};
    cl_GameState gameState;
    cl_ItemManager items{distributor};
    Ogre::SceneNode* game;
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static World world;
    TiXmlDocument document;
    ParseXml(document, std::string(reinterpret_cast<const char*>(data), size), "fuzz input");
    const TiXmlElement* file = document.RootElement();
    std::vector<std::string> ids;
    for (const TiXmlElement* element = file ? file->FirstChildElement() : nullptr; element;
         element = element->NextSiblingElement())
    {
        if (element->ValueStr() == "gamestate")
        {
            world.gameState.ReplaceTree(*element);
            continue;
        }
        world.items.ParseElement(element, "CHAPTERDATA", false);
        ids.push_back(AttributeOrEmpty(*element, "assetref"));
    }
    if (!world.gameState.GetRoot())
        world.gameState.ReplaceTree(TiXmlElement("gamestate"));
    for (const std::string& id : ids)
    {
        world.items.AddItem(id,
                            st_ObjectPlacement{world.game, Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY});
        world.gameState.NotifySaving();
        TiXmlDocument reread;
        ParseXml(reread, PrintedXml(world.gameState.GetRoot()), "written state");
        if (reread.Error())
            std::abort();
        world.items.RemoveItemFromScene(id);
        world.gameTime.Update(0.1f);
        world.items.RemoveItem(id);
        world.items.LoadItem(id);
    }
    world.items.UnloadItems();
    world.items.UnloadGroup("CHAPTERDATA");
    world.gameState.Clear();
    if (!world.ogre.SceneManager().getMovableObjects("Entity").empty())
        std::abort();
    return 0;
}
