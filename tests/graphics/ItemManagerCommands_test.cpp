#include "graphics/ItemManagerCommands.h"

#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_ItemManager.h"
#include "graphics/cl_SceneItem.h"
#include "graphics/cl_SpecialAnimationControl.h"
#include "support/ArgumentText.h"
#include "support/SceneWorld.h"

#include <gtest/gtest.h>

#include <OgreEntity.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreSubEntity.h>
#include <tinyxml.h>

#include <functional>
#include <string>

namespace
{
// The commands on the demo's hall (the key on the bench, the door in the floor, the lamp on its hook),
// entered anew for each case; the items are built on the world's OGRE scene manager.
class ItemManagerCommands : public testing::Test
{
protected:
    ItemManagerCommands() { world.items.Init(&world.SceneManager()); }
    void EnterHall()
    {
        world.scenes.UnloadScene();
        world.items.UnloadItems();
        world.assets.LoadGameState(DemoNewGameState());
        world.scenes.SwitchScene("scenes_tower", "default", false, false);
        world.assets.Frames(60, 1.0f / 30.0f);
        world.assets.log.Clear();
    }
    cl_SceneObject& Item(const std::string& id) const { return *world.items.GetItemObject(id); }
    const Ogre::SceneNode* Parent(const std::string& id) const
    {
        return Item(id).GetSceneNode()->getParentSceneNode();
    }
    bool Active(const std::string& id) const { return Item(id).GetPuppet()->IsActive(); }
    Ogre::Entity& KeyEntity() const { return *Item("items_key").GetPuppet()->GetSubMesh("key").entity; }
    bool KeyShown() const
    {
        return Item("items_key").GetPuppet()->GetSubMesh("key").node->getParentSceneNode();
    }
    const cl_SpecialAnimationControl& DoorSpecial() const
    {
        return *dynamic_cast<cl_SceneItem&>(Item("items_door")).GetSpecialControl();
    }
    bool Logged(const std::string& text, int level) const { return world.assets.log.Contains(text, level); }

    mutable SceneWorld world{SceneWorld::DEMO_CHAPTER};
};
} // namespace

TEST_F(ItemManagerCommands, EveryCommandFromLuaOnTheHall)
{
    const int ERROR = cl_Logger::LEVEL_ERROR;
    const int WARNING = cl_Logger::LEVEL_WARNING;
    const struct
    {
        const char* name;
        // The arguments of sendcmd after the receiver.
        const char* arguments;
        std::function<void()> check;
    } cases[] = {
        {"an item added by id alone stands at the scene's root", "'AddItem', 'items_lamp'",
         [&]
         {
             EXPECT_EQ(Parent("items_lamp")->getName(), "_game");
             EXPECT_TRUE(Active("items_lamp"));
         }},
        {"an item added at a location stands there", "'AddItem', 'items_lamp', 'positions_door'",
         [&]
         {
             const Ogre::Vector3 door =
                 world.SceneManager().getSceneNode("positions_door")->_getDerivedPosition();
             EXPECT_TRUE(
                 Item("items_lamp").GetSceneNode()->_getDerivedPosition().positionEquals(door, 0.01f));
         }},
        {"three arguments add nothing", "'AddItem', 'items_lamp', 'positions_door', 'more'",
         [&] { EXPECT_EQ(Parent("items_lamp")->getName(), "ap_lamp_hook"); }},
        {"no argument is refused with a warning", "'AddItem'",
         [&] { EXPECT_TRUE(Logged("Receiver 'itemmanager' refused the command 'AddItem'", WARNING)); }},
        {"an item that cannot be built", "'AddItem', 'items_ghost'",
         [&] { EXPECT_TRUE(Logged("Failed to add item 'items_ghost'!", WARNING)); }},
        {"the key out of the scene, still built", "'RemoveItem', 'items_key'",
         [&]
         {
             EXPECT_FALSE(Active("items_key"));
             EXPECT_EQ(Parent("items_key"), nullptr);
         }},
        {"removing an item never built does nothing", "'RemoveItem', 'items_ghost'",
         [&] { EXPECT_TRUE(world.assets.log.Lines().empty()); }},
        // The hall's click object is not named after the key's id: the key's own body takes the flags.
        {"the key no longer picked", "'SetItemPickable', 'items_key', false",
         [&] { EXPECT_EQ(KeyEntity().getQueryFlags(), 0u); }},
        {"the key picked", "'SetItemPickable', 'items_key', true",
         [&] { EXPECT_EQ(KeyEntity().getQueryFlags(), 1u); }},
        {"an item built without being placed", "'PreloadItem', 'items_cloth_spare'",
         [&]
         {
             ASSERT_NE(world.items.GetItemObject("items_cloth_spare"), nullptr);
             EXPECT_FALSE(Active("items_cloth_spare"));
         }},
        {"the door plays where it stands", "'PlayItemAnimation', 'items_door', 'skeletal/open'",
         [&]
         {
             ASSERT_NE(DoorSpecial().GetCurrentAnimation(), nullptr);
             EXPECT_EQ(Parent("items_door")->getName(), "_game");
         }},
        {"the door plays at a position",
         "'PlayItemAnimation', 'items_door', 'skeletal/open', 'positions_key'",
         [&]
         {
             world.assets.Frames(2, 1.0f / 30.0f);
             ASSERT_NE(DoorSpecial().GetCurrentAnimation(), nullptr);
             const Ogre::Vector3 door =
                 world.SceneManager().getSceneNode("positions_door")->_getDerivedPosition();
             EXPECT_FALSE(
                 Item("items_door").GetSceneNode()->_getDerivedPosition().positionEquals(door, 0.01f))
                 << "moved from its place to the key's";
         }},
        {"the door stops", "'StopItemAnimation', 'items_door'",
         [&] { EXPECT_EQ(DoorSpecial().GetCurrentAnimation(), nullptr); }},
        {"the key twice as big", "'Scale', 'items_key', 2",
         [&] { EXPECT_EQ(Item("items_key").GetSceneNode()->getScale(), Ogre::Vector3(2, 2, 2)); }},
        {"a scale without factor", "'Scale', 'items_key'",
         [&] { EXPECT_TRUE(Logged("Scaling character failed. Insufficient arguments.", ERROR)); }},
        {"a scale of an item never built", "'Scale', 'items_ghost', 2",
         [&] { EXPECT_TRUE(Logged("Scaling item 'items_ghost' failed.", ERROR)); }},
        {"the key's material", "'ChangeCertainMaterial', 'items_key', 'key', 0, 'BaseWhite'",
         [&] { EXPECT_EQ(KeyEntity().getSubEntity(0)->getMaterialName(), "BaseWhite"); }},
        {"a slave the key lacks changes nothing",
         "'ChangeCertainSlaveMaterial', 'items_key', 'key', 0, 'BaseWhite'",
         [&] { EXPECT_NE(KeyEntity().getSubEntity(0)->getMaterialName(), "BaseWhite"); }},
        {"the key hidden", "'HideSubMesh', 'items_key', 'key'", [&] { EXPECT_FALSE(KeyShown()); }},
        {"the key shown", "'ShowSubMesh', 'items_key', 'key'", [&] { EXPECT_TRUE(KeyShown()); }},
        {"a number for the id", "'HideSubMesh', 1, 'key'",
         [&]
         {
             EXPECT_TRUE(
                 Logged("The first parameter in a 'HideSubMesh' command needs to be an item id.", ERROR));
             EXPECT_TRUE(KeyShown());
         }},
        {"a number for the submesh", "'ShowSubMesh', 'items_key', 2",
         [&]
         {
             EXPECT_TRUE(Logged("The second parameter in a 'ShowSubMesh' command needs to be a submesh name.",
                                ERROR));
         }},
        {"a submesh the key lacks", "'HideSubMesh', 'items_key', 'blade'",
         [&] {
             EXPECT_TRUE(Logged("Changing visibility of submesh 'blade' of item 'items_key' failed.", ERROR));
         }},
        {"an unknown command", "'Fly', 'items_key'",
         [&] { EXPECT_TRUE(Logged("Receiver 'itemmanager' has no command 'Fly'.", WARNING)); }},
    };
    TiXmlDocument spare;
    spare.Parse(R"(<item assetref="items_cloth_spare"><puppet><submeshes>
        <submesh meshfile="key.mesh" name="key"/></submeshes></puppet></item>)");
    world.items.ParseElement(spare.RootElement(), "CHAPTERDATA", false);
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        EnterHall();
        EXPECT_EQ(ReturnedText(std::string("return sendcmd('itemmanager', ") + c.arguments + ")"), "");
        c.check();
    }
}
