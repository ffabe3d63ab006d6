#include "graphics/cl_ItemManager.h"

#include "assets/cl_Asset.h"
#include "assets/cl_ItemPool.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_IdleAnimationControl.h"
#include "graphics/cl_PuppetAnimWeight.h"
#include "graphics/cl_PuppetMainAnimation.h"
#include "graphics/cl_SceneItem.h"
#include "graphics/cl_SceneObject.h"
#include "graphics/cl_SpecialAnimationControl.h"
#include "support/ArgumentText.h"
#include "support/SceneWorld.h"

#include <gtest/gtest.h>

#include <OgreEntity.h>
#include <OgreMaterialManager.h>
#include <OgreSceneNode.h>
#include <OgreTechnique.h>
#include <tinyxml.h>

#include <string>
#include <vector>

namespace
{
// An item "items_a" known also as "items_b" (an empty alias beside it), with the key's body; and
// "items_plain" without aliases.
const char* const DEFINITIONS = R"(<tarqdata>
    <item assetref="items_a"><alias><name>items_b</name><name></name></alias>
        <puppet><submeshes><submesh meshfile="key.mesh" name="key"/></submeshes></puppet></item>
    <item assetref="items_plain">
        <puppet><submeshes><submesh meshfile="key.mesh" name="key"/></submeshes></puppet></item>
</tarqdata>)";

// The item manager on the demo's chapter (pools, new-game state), building on the world's OGRE scene
// manager, with the definitions above parsed as chapter data.
class ItemManager : public testing::Test
{
protected:
    ItemManager()
    {
        world.items.Init(&world.SceneManager());
        Parse(DEFINITIONS);
        // The game state reaches the managers as a new game does.
        world.assets.gameState.NotifyListeners();
        world.assets.log.Clear();
    }
    void Parse(const char* xml)
    {
        TiXmlDocument document;
        document.Parse(xml);
        for (const TiXmlElement* element = document.RootElement()->FirstChildElement(); element;
             element = element->NextSiblingElement())
            world.items.ParseElement(element, "CHAPTERDATA", false);
    }
    void PlaceUnder(const std::string& name)
    {
        world.items.AddItem(
            name, st_ObjectPlacement{world.root, Ogre::Vector3(1, 2, 3), Ogre::Quaternion::IDENTITY});
    }
    cl_SceneObject& Object(const std::string& name) { return *world.items.LoadItem(name)->sceneItem; }
    static bool Active(const cl_SceneObject& object) { return object.GetPuppet()->IsActive(); }
    // Every listener writes into the tree, as a save does; the tree printed.
    std::string Save()
    {
        world.assets.gameState.NotifySaving();
        TiXmlPrinter printer;
        world.assets.gameState.GetRoot()->Accept(&printer);
        return printer.Str();
    }
    // The children of the saved "itemmanager" element, by name, joined by spaces.
    std::string SavedNames()
    {
        Save();
        const TiXmlElement* state = world.assets.gameState.GetItemManagerState();
        std::string names;
        for (const TiXmlElement* child = state->FirstChildElement(); child;
             child = child->NextSiblingElement())
            names += (names.empty() ? "" : " ") + child->ValueStr();
        return names;
    }

    SceneWorld world{SceneWorld::DEMO_CHAPTER};
};
} // namespace

TEST_F(ItemManager, TheFirstPlacedNameInByteOrderIsTheAssetIdOnceTheRuleRuns)
{
    const struct
    {
        const char* name;
        std::vector<std::string> placed;
        std::vector<std::string> removed;
        // Whether a frame passes after the removals.
        bool frame;
        const char* assetId;
        bool active;
    } cases[] = {
        {"placed under the alias", {"items_b"}, {}, true, "items_b", true},
        {"placed under both: the id comes first", {"items_a", "items_b"}, {}, true, "items_a", true},
        {"the id removed: the alias still placed",
         {"items_a", "items_b"},
         {"items_a"},
         true,
         "items_b",
         true},
        {"the last name removed: still there until the frame",
         {"items_b"},
         {"items_b"},
         false,
         "items_b",
         true},
        {"the last name removed, then a frame: gone", {"items_b"}, {"items_b"}, true, "items_b", false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        world.items.UnloadItems();
        for (const std::string& name : c.placed)
            PlaceUnder(name);
        cl_ItemEntry& entry = *world.items.FindItem(c.placed.front());
        for (const std::string& name : c.removed)
            world.items.RemoveFromScene(entry, name);
        if (c.frame)
            world.assets.Frames(1, 1.0f / 30.0f);
        const cl_SceneObject& object = *entry.sceneItem;
        EXPECT_EQ(object.GetAssetId(), c.assetId);
        EXPECT_EQ(Active(object), c.active);
        EXPECT_EQ(object.GetPlacement().parent, c.active ? world.root : nullptr);
    }
}

TEST_F(ItemManager, AnItemWithoutAliasesLeavesTheSceneAtOnce)
{
    PlaceUnder("items_plain");
    cl_SceneObject& object = Object("items_plain");
    ASSERT_TRUE(Active(object));
    world.items.RemoveItemFromScene("items_plain");
    EXPECT_FALSE(Active(object));
    EXPECT_EQ(object.GetPlacement(), st_ObjectPlacement());
}

TEST_F(ItemManager, EmptyAliasesAreSkippedAndEveryOtherNameListsTheItem)
{
    world.items.LoadItem("items_a");
    std::vector<std::string> names;
    for (const auto& item : world.items.GetItems())
        names.push_back(item.first);
    EXPECT_EQ(names, (std::vector<std::string>{"items_a", "items_b"}));
}

TEST_F(ItemManager, RemovedItemsAreRebuiltUnderTheirOtherNamesAndForgottenWithTheirLastName)
{
    Object("items_a");
    EXPECT_TRUE(world.items.RemoveItem("items_a"));
    EXPECT_FALSE(world.items.RemoveItem("items_a")) << "the name is gone";
    EXPECT_EQ(world.items.GetItemObject("items_b"), nullptr) << "the objects are gone";
    world.assets.log.Clear();
    const cl_SceneObject& rebuilt = Object("items_b");
    EXPECT_TRUE(world.assets.log.Contains("Loading Item 'items_a'", cl_Logger::LEVEL_INFO));
    EXPECT_EQ(rebuilt.GetAssetId(), "items_b");
    EXPECT_NE(world.items.GetItemObject("items_a"), nullptr) << "listed again under every name";
    EXPECT_TRUE(world.items.RemoveItem("items_a"));
    EXPECT_TRUE(world.items.RemoveItem("items_b"));
    EXPECT_TRUE(world.items.GetItems().empty());
}

TEST_F(ItemManager, SavingWritesEachNameOfAnActiveItemAndNothingOfAnInactiveOne)
{
    Object("items_plain");
    PlaceUnder("items_a");
    PlaceUnder("items_b");
    Object("items_a").GetPuppet()->SetSubMeshVisible("key", false);
    EXPECT_EQ(SavedNames(), "items_a items_b");
    TiXmlElement* state = world.assets.gameState.GetItemManagerState();
    const auto content = [state](const char* name)
    {
        TiXmlElement child(*state->FirstChildElement(name));
        child.SetValue("item");
        TiXmlPrinter printer;
        child.Accept(&printer);
        return std::string(printer.CStr());
    };
    EXPECT_NE(content("items_a").find("key"), std::string::npos);
    EXPECT_EQ(content("items_a"), content("items_b"));
}

TEST_F(ItemManager, AStateWithoutTheElementGetsOneSoThatASaveHasAPlace)
{
    EXPECT_TRUE(world.assets.LoadGameState("<gamestate><items/></gamestate>"));
    PlaceUnder("items_plain");
    world.assets.log.Clear();
    EXPECT_EQ(SavedNames(), "items_plain");
    EXPECT_FALSE(world.assets.log.Contains("could not save"));
}

TEST_F(ItemManager, WithoutAGameStateASaveIsRefused)
{
    world.assets.gameState.Clear();
    PlaceUnder("items_plain");
    world.items.NotifyGameStateSaving(nullptr);
    EXPECT_TRUE(world.assets.log.Contains(
        "ItemManager could not save because it has no gamestate to save to.", cl_Logger::LEVEL_ERROR));
}

TEST_F(ItemManager, AnItemBuiltAfterALoadReadsItsSavedBodyState)
{
    PlaceUnder("items_plain");
    Object("items_plain").GetPuppet()->SetSubMeshVisible("key", false);
    const std::string saved = Save();
    world.items.UnloadItems();
    EXPECT_TRUE(world.assets.LoadGameState(saved));
    const cl_ControlledPuppet& puppet = *Object("items_plain").GetPuppet();
    EXPECT_EQ(puppet.GetSubMesh("key").node->getParentSceneNode(), nullptr) << "the key hidden again";
}

TEST_F(ItemManager, AnIdWithoutAssetGetsATemporaryOneMadeOnce)
{
    Object("items_plain");
    Object("items_plain");
    size_t made = 0;
    for (const LogCapture::Line& line : world.assets.log.Lines())
        made += line.text.find("Creating temp asset for item 'items_plain'.") != std::string::npos;
    EXPECT_EQ(made, 1u);
    const cl_Asset* asset = world.assets.poolManager.GetItemPool()->FindAsset("items_plain");
    ASSERT_NE(asset, nullptr);
    EXPECT_TRUE(asset->IsCreatedAtRunTime());
    EXPECT_FALSE(world.assets.log.Contains("temp asset for item 'items_key'")) << "the key has its asset";
}

TEST_F(ItemManager, AnItemNamingAMissingMeshIsLoggedAndTheRestLoads)
{
    Parse(R"(<tarqdata><item assetref="items_broken"><puppet><submeshes>
        <submesh meshfile="nowhere.mesh" name="body"/><submesh meshfile="key.mesh" name="key"/>
        </submeshes></puppet></item></tarqdata>)");
    cl_ItemEntry* entry = world.items.LoadItem("items_broken");
    ASSERT_NE(entry, nullptr);
    ASSERT_NE(entry->sceneItem, nullptr);
    EXPECT_TRUE(world.assets.log.Contains("nowhere.mesh"));
    EXPECT_NE(entry->sceneItem->GetPuppet()->GetSubMesh("key").entity, nullptr);
    EXPECT_NE(world.items.LoadItem("items_key"), nullptr);
}

TEST_F(ItemManager, TheIconMaterialIsMadeOnceUnlitUnshadowedOverItsTexture)
{
    Ogre::MaterialManager& materials = Ogre::MaterialManager::getSingleton();
    EXPECT_EQ(cl_ItemManager::CreateIconMaterial("apple", "mpt"), "mpt_apple");
    const Ogre::MaterialPtr material = materials.getByName("mpt_apple", "CHAPTERDATA");
    ASSERT_TRUE(material);
    const Ogre::Pass& pass = *material->getTechnique(0)->getPass(0);
    EXPECT_EQ(pass.getTextureUnitState(0)->getTextureName(), "icon_apple.dds");
    EXPECT_FALSE(pass.getLightingEnabled());
    EXPECT_FALSE(pass.getDepthCheckEnabled());
    EXPECT_FALSE(material->getReceiveShadows());
    EXPECT_EQ(cl_ItemManager::CreateIconMaterial("apple", "mpt"), "mpt_apple");
    EXPECT_EQ(materials.getByName("mpt_apple", "CHAPTERDATA"), material);
    EXPECT_EQ(pass.getNumTextureUnitStates(), 1u);
}

TEST_F(ItemManager, PickableFlagsReachTheItemsEntities)
{
    Object("items_plain");
    for (const bool pickable : {false, true})
    {
        SCOPED_TRACE(pickable);
        world.items.SetItemPickable("items_plain", pickable);
        EXPECT_EQ(Object("items_plain").GetPuppet()->GetSubMesh("key").entity->getQueryFlags(),
                  pickable ? 1u : 0u);
    }
}

TEST_F(ItemManager, ANameThatCannotNameAnElementIsNotSavedSoTheSaveStaysReadable)
{
    Parse(R"(<tarqdata><item assetref="items a">
        <puppet><submeshes><submesh meshfile="key.mesh" name="key"/></submeshes></puppet></item></tarqdata>)");
    PlaceUnder("items a");
    PlaceUnder("items_plain");
    TiXmlDocument reread;
    reread.Parse(Save().c_str());
    EXPECT_FALSE(reread.Error());
    EXPECT_EQ(SavedNames(), "items_plain");
    EXPECT_TRUE(world.assets.log.Contains("'items a'", cl_Logger::LEVEL_ERROR));
}

TEST_F(ItemManager, TheDemoKeyRocksWhileItLiesAndFlipsWhenAsked)
{
    PlaceUnder("items_key");
    world.assets.Frames(3, 1.0f / 30.0f);
    auto& key = dynamic_cast<cl_SceneItem&>(Object("items_key"));
    cl_ControlledPuppet& puppet = *key.GetPuppet();
    const auto& idle = dynamic_cast<const cl_IdleAnimationControl&>(*puppet.GetControl("idle"));
    ASSERT_NE(idle.GetCurrentIdle(), nullptr);
    EXPECT_EQ(idle.GetCurrentIdle(), puppet.ResolveAnimPath("skeletal/idle/glint")->GetMainAnimation());
    ReturnedText("sendcmd('itemmanager', 'PlayItemAnimation', 'items_key', 'skeletal/special/flip')");
    world.assets.Frames(2, 1.0f / 30.0f);
    const cl_PuppetAnimation* flip = puppet.ResolveAnimPath("skeletal/special/flip")->GetMainAnimation();
    EXPECT_EQ(key.GetSpecialControl()->GetCurrentAnimation(), flip);
    EXPECT_FALSE(world.assets.log.Contains("key", cl_Logger::LEVEL_ERROR));
}
