#include "graphics/cl_SceneObject.h"

#include "common/XmlParse.h"
#include "gamecomponents/cl_GameComponents.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_CharacterManager.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_EventTrigger.h"
#include "graphics/cl_ItemManager.h"
#include "support/HeadlessOgre.h"
#include "support/PrintedXml.h"
#include "support/ScriptSystemFixture.h"
#include "support/TestBody.h"

#include <OgreEntity.h>
#include <OgreMaterialManager.h>
#include <OgrePass.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreSubEntity.h>
#include <OgreTechnique.h>
#include <tinyxml.h>

#include <cmath>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace
{
const Ogre::Quaternion QUARTER_TURN(Ogre::Degree(90), Ogre::Vector3::UNIT_Y);

class SceneObjects : public ScriptSystemFixture
{
protected:
    Ogre::SceneManager& Scene() const { return m_ogre.SceneManager(); }

    HeadlessOgre m_ogre;
    std::unique_ptr<cl_Character> m_door = MakeTestBody(Scene(), "door");
};

// "parent (x, y, z)" of the object's placement, "none" for no parent; rotations are checked apart.
std::string PlacementText(const st_ObjectPlacement& placement)
{
    const Ogre::Vector3& p = placement.position;
    return (placement.parent ? placement.parent->getName() : std::string("none")) + " (" +
           std::to_string(std::lround(p.x)) + ", " + std::to_string(std::lround(p.y)) + ", " +
           std::to_string(std::lround(p.z)) + ")";
}

TEST_F(SceneObjects, PlacementsAreRememberedAndRestored)
{
    // "_game" stands at (100, 0, 0), a quarter turn about y; "spot" is its child at (10, 0, 0), turned a
    // quarter more; "step" a child of spot at (0, 0, 5): at (100, 0, -15) in the world.
    Ogre::SceneNode* game =
        Scene().getRootSceneNode()->createChildSceneNode("_game", Ogre::Vector3(100, 0, 0));
    game->setOrientation(QUARTER_TURN);
    Ogre::SceneNode* spot = game->createChildSceneNode("spot", Ogre::Vector3(10, 0, 0));
    spot->setOrientation(QUARTER_TURN);
    spot->createChildSceneNode("step", Ogre::Vector3(0, 0, 5));
    Ogre::SceneNode* shelf =
        Scene().getRootSceneNode()->createChildSceneNode("shelf", Ogre::Vector3(1, 2, 3));
    const st_ObjectPlacement onShelf{shelf, Ogre::Vector3(1, 0, 0)};

    const struct
    {
        const char* name;
        std::vector<std::string> steps; // "shelf", "spot", "step", "_game", "null", "unknown", "restore"
        const char* placement;
        std::vector<bool> restored; // what each "restore" answered
    } cases[] = {
        {"a placement is taken", {"shelf"}, "shelf (1, 0, 0)", {}},
        {"restoring goes back to before the last change",
         {"shelf", "spot", "restore"},
         "shelf (1, 0, 0)",
         {true}},
        {"placing where it stands keeps the remembered placement",
         {"shelf", "spot", "spot", "restore"},
         "shelf (1, 0, 0)",
         {true}},
        {"restoring where it stands answers false",
         {"shelf", "restore", "restore"},
         "none (0, 0, 0)",
         {true, false}},
        {"a fresh object stands at its remembered placement", {"restore"}, "none (0, 0, 0)", {false}},
        {"the scene root itself", {"_game"}, "_game (0, 0, 0)", {}},
        {"a child of the root gives its own position", {"spot"}, "_game (10, 0, 0)", {}},
        {"deeper, the world offset from the root, not turned back", {"step"}, "_game (0, 0, -15)", {}},
        {"a null node changes nothing", {"shelf", "null"}, "shelf (1, 0, 0)", {}},
        {"an unknown location changes nothing", {"shelf", "unknown"}, "shelf (1, 0, 0)", {}},
    };
    for (const auto& c : cases)
    {
        m_door = MakeTestBody(Scene(), "door");
        std::vector<bool> restored;
        for (const std::string& step : c.steps)
        {
            if (step == "shelf")
                EXPECT_TRUE(m_door->SetLocation(onShelf));
            else if (step == "null")
                m_door->SetLocation(static_cast<Ogre::SceneNode*>(nullptr));
            else if (step == "restore")
                restored.push_back(m_door->RestorePlacement());
            else
                m_door->SetLocation(step);
        }
        EXPECT_EQ(PlacementText(m_door->GetPlacement()), c.placement) << c.name;
        EXPECT_EQ(restored, c.restored) << c.name;
    }

    EXPECT_TRUE(m_capture.Contains("Location 'unknown' could not be resolved! Nothing changed!",
                                   cl_Logger::LEVEL_WARNING));
    m_door->SetLocation("");
    EXPECT_TRUE(m_capture.Contains("Location '' could not be resolved!", cl_Logger::LEVEL_WARNING))
        << "OGRE would throw for a node without name";
    m_door = MakeTestBody(Scene(), "door");
    m_door->SetLocation("spot");
    EXPECT_TRUE(m_door->GetPlacement().orientation.equals(QUARTER_TURN, Ogre::Degree(0.01f)));
    m_door->SetLocation("step");
    EXPECT_TRUE(m_door->GetPlacement().orientation.equals(QUARTER_TURN, Ogre::Degree(0.01f)))
        << "the world turn less the root's";
}

TEST_F(SceneObjects, APlacementLetsThePuppetSkipItsFadesOnlyWhenItMoves)
{
    Ogre::SceneNode* game = Scene().getRootSceneNode()->createChildSceneNode("_game");
    cl_ControlledPuppet& puppet = *m_door->GetPuppet();
    m_door->SetLocation(st_ObjectPlacement{game});
    EXPECT_TRUE(puppet.GetFinishFades());
    puppet.SetFinishFades(false);
    m_door->SetLocation(st_ObjectPlacement{game});
    EXPECT_FALSE(puppet.GetFinishFades()) << "it did not move";
    m_door->SetLocation(st_ObjectPlacement{game, Ogre::Vector3(0, 0, 1)});
    puppet.SetFinishFades(false);
    EXPECT_TRUE(m_door->RestorePlacement());
    EXPECT_TRUE(puppet.GetFinishFades());
    EXPECT_EQ(m_door->GetSceneNode()->getParent(), game);

    // Without _game the node forms change nothing.
    Scene().destroySceneNode(game);
    m_door->SetLocation(st_ObjectPlacement());
    m_door->SetLocation(Scene().getRootSceneNode());
    EXPECT_EQ(m_door->GetSceneNode()->getParent(), nullptr);
}

TEST_F(SceneObjects, TheFocusNodeFollowsTheFocusBone)
{
    m_door->SetLocation(st_ObjectPlacement{Scene().getRootSceneNode(), Ogre::Vector3(3, 0, 0), QUARTER_TURN});
    Ogre::SceneNode* focus = m_door->GetFocusNode();
    m_door->SetFocus("", "");
    EXPECT_EQ(focus->getPosition(), Ogre::Vector3(3, 0, 0));
    EXPECT_TRUE(focus->getOrientation().equals(QUARTER_TURN, Ogre::Degree(0.01f)));

    m_door->SetFocus("hand", "");
    EXPECT_TRUE(focus->getPosition().positionEquals(Ogre::Vector3(3, 2, 0), 1e-5f)) << focus->getPosition();
    EXPECT_EQ(m_door->GetFocusBone(), "hand");

    Ogre::SceneNode* lamp = m_door->GetPuppet()->GetSlave("lamp").node;
    Scene().getRootSceneNode()->addChild(lamp);
    lamp->setPosition(0, 0, 7);
    m_door->SetFocus("hand", "lamp");
    EXPECT_TRUE(focus->getPosition().positionEquals(Ogre::Vector3(0, 2, 7), 1e-5f)) << focus->getPosition();
    EXPECT_EQ(m_door->GetFocusSlave(), "lamp");
    EXPECT_EQ(focus->getParent(), nullptr) << "a free node";
}

TEST_F(SceneObjects, TheBodyStateSurvivesASaveAndARestore)
{
    cl_ControlledPuppet& puppet = *m_door->GetPuppet();
    puppet.GetSubMesh("frame").entity->setLightMask(0xFFFFFFFF);
    puppet.GetSubMesh("leaf").entity->setLightMask(3);
    puppet.SetSubMeshVisible("leaf", false);
    puppet.SetSubMeshAssetRef("frame", "items_frame");
    puppet.GetSlave("key").node->setVisible(false);

    TiXmlElement state("items_door");
    m_door->cl_SceneObject::SaveState(&state); // the scene object's part of the character's state
    EXPECT_EQ(
        PrintedXml(&state),
        "<items_door><submeshes>"
        R"(<frame attached="true" visible="true" assetref="items_frame" lightmask="4294967295.000000" />)"
        R"(<leaf attached="false" visible="false" assetref="parent" lightmask="3.000000" />)"
        R"(</submeshes><slaves><key visible="false" /></slaves></items_door>)");

    std::unique_ptr<cl_Character> loaded = MakeTestBody(Scene(), "door");
    loaded->RestoreState(&state);
    const cl_ControlledPuppet& restored = *loaded->GetPuppet();
    EXPECT_EQ(restored.GetSubMesh("frame").entity->getLightMask(), 0xFFFFFFFFu);
    EXPECT_EQ(restored.GetSubMesh("frame").assetRef, "items_frame");
    EXPECT_EQ(restored.GetSubMesh("leaf").entity->getLightMask(), 3u);
    EXPECT_EQ(restored.GetSubMesh("leaf").node->getParent(), nullptr);
    EXPECT_FALSE(restored.GetSubMesh("leaf").entity->getVisible());
    EXPECT_FALSE(restored.GetSlave("key").entity->getVisible());
    EXPECT_TRUE(restored.GetSlave("lamp").entity->getVisible());

    // A slave shown again loses its element; the submesh elements are updated in place.
    puppet.GetSlave("key").node->setVisible(true);
    puppet.SetSubMeshVisible("leaf", true);
    m_door->cl_SceneObject::SaveState(&state);
    EXPECT_EQ(PrintedXml(state.FirstChildElement("slaves")), "<slaves />");
    EXPECT_EQ(PrintedXml(state.FirstChildElement("submeshes")->FirstChildElement("leaf")),
              R"(<leaf attached="true" visible="true" assetref="parent" lightmask="3.000000" />)");
    EXPECT_EQ(state.FirstChildElement("submeshes")->NextSiblingElement("submeshes"), nullptr);
}

TEST_F(SceneObjects, RestoringTakesWhatItCanAndSkipsWhatThePuppetLacks)
{
    const struct
    {
        const char* name;
        const char* state;
        uint32_t frameMask;
        const char* leaf; // "attached visible assetref"
    } cases[] = {
        {"a mask that does not scan is 0", R"(<frame lightmask="junk"/>)", 0, "1 1 parent"},
        {"only the low 32 bits are kept", R"(<frame lightmask="4294967297.5"/>)", 1, "1 1 parent"},
        {"a negative mask wraps", R"(<frame lightmask="-1"/>)", 0xFFFFFFFF, "1 1 parent"},
        {"a mask beyond 64 bits is 0", R"(<frame lightmask="1e30"/>)", 0, "1 1 parent"},
        {"a mask that is no number at all is 0", R"(<frame lightmask="nan"/>)", 0, "1 1 parent"},
        {"a detached submesh", R"(<leaf attached="false"/>)", 0x7FFFFFFF, "0 0 parent"},
        {"hidden in place", R"(<leaf visible="false"/>)", 0x7FFFFFFF, "1 0 parent"},
        {"attached but hidden", R"(<leaf attached="true" visible="no"/>)", 0x7FFFFFFF, "1 0 parent"},
        {"an asset reference", R"(<leaf assetref="items_leaf"/>)", 0x7FFFFFFF, "1 1 items_leaf"},
        {"unknown submeshes change nothing", R"(<handle attached="false" visible="false" lightmask="1"/>)",
         0x7FFFFFFF, "1 1 parent"},
    };
    for (const auto& c : cases)
    {
        m_door = MakeTestBody(Scene(), "door");
        TiXmlDocument document;
        document.Parse((std::string("<door><submeshes>") + c.state + "</submeshes></door>").c_str());
        m_door->RestoreState(document.RootElement());
        const st_SubMesh leaf = m_door->GetPuppet()->GetSubMesh("leaf");
        const std::string leafText = std::string(leaf.node->getParent() ? "1 " : "0 ") +
                                     (leaf.entity->getVisible() ? "1 " : "0 ") + leaf.assetRef;
        EXPECT_EQ(m_door->GetPuppet()->GetSubMesh("frame").entity->getLightMask(), c.frameMask) << c.name;
        EXPECT_EQ(leafText, c.leaf) << c.name;
    }

    m_door->RestoreState(nullptr);
    TiXmlDocument slaves;
    slaves.Parse(R"(<door><slaves><lamp visible="false"/><chain visible="false"/><key/></slaves></door>)");
    m_door->RestoreState(slaves.RootElement());
    EXPECT_FALSE(m_door->GetPuppet()->GetSlave("lamp").entity->getVisible());
    EXPECT_TRUE(m_door->GetPuppet()->GetSlave("key").entity->getVisible()) << "no visible attribute";
}

TEST_F(SceneObjects, OnlyAnOwnPuppetIsSavedAndOnlyNamesThatCanBeElements)
{
    cl_Character borrower(Scene(), m_door->GetPuppet(), "door_twin");
    TiXmlElement borrowed("door_twin");
    borrower.cl_SceneObject::SaveState(&borrowed);
    EXPECT_EQ(PrintedXml(&borrowed), "<door_twin />");
    borrower.SaveState(nullptr);

    // A name that cannot be an element would make the saved game unreadable.
    m_door->GetPuppet()->AddSubMesh("body_leaf", "leaf 2");
    m_door->GetPuppet()->AddSlaveObject("2nd key", "body_key", "parent");
    m_door->GetPuppet()->GetSlave("2nd key").node->setVisible(false);
    TiXmlElement state("door");
    m_door->cl_SceneObject::SaveState(&state);
    TiXmlDocument reread;
    reread.Parse(PrintedXml(&state).c_str());
    EXPECT_FALSE(reread.Error()) << PrintedXml(&state);
    EXPECT_TRUE(
        m_capture.Contains("The submesh 'leaf 2' of 'door' cannot name an element; its state is not saved.",
                           cl_Logger::LEVEL_ERROR));
    EXPECT_TRUE(
        m_capture.Contains("The slave '2nd key' of 'door' cannot name an element; its state is not saved.",
                           cl_Logger::LEVEL_ERROR));
    EXPECT_NE(state.FirstChildElement("submeshes")->FirstChildElement("frame"), nullptr);
}

TEST_F(SceneObjects, LightMasksChangeFromTheFirstSubmeshByName)
{
    cl_ControlledPuppet& puppet = *m_door->GetPuppet();
    puppet.GetSubMesh("frame").entity->setLightMask(0x0F);
    puppet.GetSubMesh("leaf").entity->setLightMask(0xF0);
    m_door->AddLightMask(0x100);
    EXPECT_EQ(puppet.GetSubMesh("frame").entity->getLightMask(), 0x10Fu);
    EXPECT_EQ(puppet.GetSubMesh("leaf").entity->getLightMask(), 0x10Fu);
    m_door->RemoveLightMask(1);
    EXPECT_EQ(puppet.GetSubMesh("leaf").entity->getLightMask(), 0x10Eu);
    EXPECT_EQ(puppet.GetSlave("lamp").entity->getLightMask(), 0x7FFFFFFFu) << "slaves keep theirs";

    // Without submeshes there is nothing to mask; the slaves keep theirs.
    cl_Character bare(Scene(), "bare");
    bare.GetPuppet()->AddSlaveObject("lamp", "body_lamp", "parent");
    bare.GetPuppet()->GetSlave("lamp").entity->setLightMask(0x10);
    bare.RemoveLightMask(1);
    bare.AddLightMask(0x20);
    EXPECT_EQ(bare.GetPuppet()->GetSlave("lamp").entity->getLightMask(), 0x10u);
}

TEST_F(SceneObjects, MaterialsAndQueryFlagsReachTheNamedParts)
{
    Ogre::MaterialPtr glass = Ogre::MaterialManager::getSingleton().create("door_glass", Ogre::RGN_DEFAULT);
    glass->getTechnique(0)->getPass(0)->createTextureUnitState();
    cl_ControlledPuppet& puppet = *m_door->GetPuppet();

    m_door->SetSubMeshMaterial("leaf", 0, "door_glass");
    EXPECT_EQ(puppet.GetSubMesh("leaf").entity->getSubEntity(0)->getMaterialName(), "door_glass");
    m_door->SetSubMeshMaterial("frame", 0, "no_such_material");
    m_door->SetSubMeshMaterial("frame", 1, "door_glass");
    m_door->SetSubMeshMaterial("handle", 0, "door_glass");
    EXPECT_NE(puppet.GetSubMesh("frame").entity->getSubEntity(0)->getMaterialName(), "door_glass");
    m_door->SetSubEntityMaterial("key", 0, "door_glass");
    m_door->SetSubEntityMaterial("key", 3, "door_glass");
    EXPECT_EQ(puppet.GetSlave("key").entity->getSubEntity(0)->getMaterialName(), "door_glass");

    m_door->SetTransparency("leaf", 0, 1, 0, 0.5f);
    m_door->SetTransparency("leaf", 0, 0, 1, 0.5f);
    Ogre::Pass* pass = glass->getTechnique(0)->getPass(0);
    EXPECT_FALSE(pass->isTransparent()) << "a pass or texture unit index out of range does nothing";
    m_door->SetTransparency("leaf", 0, 0, 0, 0.5f);
    EXPECT_TRUE(pass->isTransparent());
    const Ogre::LayerBlendModeEx& alpha = pass->getTextureUnitState(0)->getAlphaBlendMode();
    EXPECT_EQ(alpha.operation, Ogre::LBX_MODULATE);
    EXPECT_EQ(alpha.source1, Ogre::LBS_MANUAL);
    EXPECT_EQ(alpha.source2, Ogre::LBS_TEXTURE);
    EXPECT_EQ(alpha.alphaArg1, 0.5f);
    EXPECT_EQ(alpha.alphaArg2, 1.0f);

    m_door->SetQueryFlags(6);
    for (Ogre::MovableObject* part : puppet.GetMovableObjects())
        EXPECT_EQ(part->getQueryFlags(), 6u) << part->getName();
    m_door->SetScale(2.0f);
    EXPECT_EQ(m_door->GetSceneNode()->getScale(), Ogre::Vector3(2, 2, 2));
}

TEST_F(SceneObjects, TheDebugDescriptionShowsStatePlacementPuppetAndControls)
{
    Ogre::SceneNode* shelf = Scene().getRootSceneNode()->createChildSceneNode("shelf");
    m_door->SetLocation(st_ObjectPlacement{shelf, Ogre::Vector3(1, 2, 3)});
    m_door->SetVisualState("open");
    m_door->SetFocus("hand", "");
    TiXmlElement info("debug");
    m_door->WriteDebugInfo(info);
    EXPECT_EQ(PrintedXml(&info),
              R"(<debug visualstate="open" assetref="door">)"
              R"(<location parent="shelf" offset="1 2 3" rotation="1 0 0 0" />)"
              R"(<puppet><animtree /><control name="idle" enabled="true" active="false" />)"
              R"(</puppet><focus bone="hand" slave="" /></debug>)");
}

TEST_F(SceneObjects, TheDemoDoorSwapsItsLeavesAndCreaks)
{
    TiXmlDocument items;
    ASSERT_TRUE(LoadXmlFile(items, QUILLMERE_DEMO_DIR "data/chapter1/items.tdf"));
    const TiXmlElement* door = items.RootElement()->FirstChildElement("item");
    ASSERT_NE(door, nullptr);
    ASSERT_STREQ(door->Attribute("assetref"), "items_door");
    cl_Character object(Scene(), "items_door");
    cl_ControlledPuppet& puppet = *object.GetPuppet();
    puppet.AddSubMesh("body_leaf", "leaf_closed");
    puppet.AddSubMesh("body_leaf", "leaf_open");
    m_capture.Clear(); // the puppet's loading progress
    cl_VisualStateHolder::LoadVisualStatesFromXml(door->FirstChildElement("visualstates"), object);
    object.GetEventTrigger().LoadFromXml(door->FirstChildElement("trigger"));
    Run("_globals = {}");

    object.SetVisualState("open");
    EXPECT_FALSE(puppet.GetSubMesh("leaf_closed").entity->getVisible());
    EXPECT_TRUE(puppet.GetSubMesh("leaf_open").entity->getVisible());
    EXPECT_TRUE(IsTrue("_globals.door_open"));
    object.SetVisualState("closed");
    EXPECT_TRUE(puppet.GetSubMesh("leaf_closed").entity->getVisible());
    EXPECT_FALSE(puppet.GetSubMesh("leaf_open").entity->getVisible());
    EXPECT_EQ(Value("_globals.door_open"), "false");

    puppet.DispatchAnimationEvent("creak");
    puppet.DispatchAnimationEvent("step");
    EXPECT_EQ(Value("_globals.door_creaks"), "1");
    EXPECT_TRUE(m_capture.Lines().empty());
}

// An item of the item manager, until scene items exist.
class StandInItem final : public cl_SceneObject
{
public:
    StandInItem(Ogre::SceneManager& sceneManager, const std::string& name)
        : cl_SceneObject(sceneManager, name)
    {
    }
    void PlayAnimation(const std::string&, const std::string&, const Ogre::Vector3&, const Ogre::Quaternion&,
                       ISyncedActionInitiator*) override
    {
    }
    void StartAnimation(const std::string&, ISyncedActionInitiator*) override {}
    void StopAnimation() override {}
    void AbortAll() override {}
};

// The hub with the hero as the current character, the character manager with the hero and "twin", the item
// manager with the items "chest", "twin" and "bell" (known also as "bell_rung").
class Resolving : public SceneObjects
{
protected:
    Resolving()
    {
        m_hero = m_characters.AddCharacter(std::make_unique<cl_Character>(Scene(), "hero"));
        m_twin = m_characters.AddCharacter(std::make_unique<cl_Character>(Scene(), "twin"));
        m_chest = m_items.AddSceneItem(std::make_unique<StandInItem>(Scene(), "chest"))->sceneItem.get();
        m_items.AddSceneItem(std::make_unique<StandInItem>(Scene(), "twin"));
        m_bell = m_items.AddSceneItem(std::make_unique<StandInItem>(Scene(), "bell"), {"bell_rung"})
                     ->sceneItem.get();
        m_hub.SetCurrentCharacter("hero");
    }

    cl_GameComponents m_hub{m_system};
    cl_CharacterManager m_characters{m_system};
    cl_ItemManager m_items{m_system};
    cl_SceneObject* m_hero;
    cl_SceneObject* m_twin;
    cl_SceneObject* m_chest;
    cl_SceneObject* m_bell;
};

TEST_F(Resolving, NamesResolveToTheCurrentCharacterACharacterOrAnItem)
{
    const struct
    {
        const char* name;
        const char* expected; // the object's name, "null" for none
    } cases[] = {
        {"", "hero"},       {"avatar", "hero"},    {"hero", "hero"},  {"twin", "twin"},
        {"chest", "chest"}, {"bell_rung", "bell"}, {"Chest", "null"}, {"nobody", "null"},
    };
    for (const auto& c : cases)
    {
        const cl_SceneObject* found = cl_SceneObject::ResolveByName(c.name);
        EXPECT_EQ(found ? found->GetName() : "null", c.expected) << "\"" << c.name << "\"";
        const cl_SceneObject* loaded = cl_SceneObject::ResolveOrLoadByName(c.name);
        EXPECT_EQ(loaded, found) << "\"" << c.name << "\": nothing more to load";
    }
    EXPECT_EQ(cl_SceneObject::ResolveByName("twin"), m_twin) << "the character before the item";

    m_hub.SetCurrentCharacter("");
    EXPECT_EQ(cl_SceneObject::ResolveByName("avatar"), nullptr);
    EXPECT_EQ(cl_SceneObject::ResolveByName(""), nullptr);
}

TEST_F(Resolving, AnAliasedItemThatIsNotPlacedLeavesTheSceneWhenItIsLookedUp)
{
    Ogre::SceneNode* shelf = Scene().getRootSceneNode()->createChildSceneNode("shelf");
    for (cl_SceneObject* item : {m_chest, m_bell})
    {
        item->SetLocation(st_ObjectPlacement{shelf, Ogre::Vector3(1, 0, 0)});
        item->SetActive(true);
    }
    EXPECT_EQ(m_items.GetItemObject("chest"), m_chest);
    EXPECT_EQ(m_chest->GetSceneNode()->getParent(), shelf) << "without aliases its placement stays";
    EXPECT_TRUE(m_chest->GetPuppet()->IsActive());
    EXPECT_EQ(m_items.GetItemObject("bell"), m_bell);
    EXPECT_EQ(m_bell->GetSceneNode()->getParent(), nullptr);
    EXPECT_EQ(m_bell->GetSceneNode()->getPosition(), Ogre::Vector3::ZERO);
    EXPECT_FALSE(m_bell->GetPuppet()->IsActive());
    EXPECT_EQ(m_items.GetItemObject("lantern"), nullptr);
}

TEST_F(Resolving, AllCharactersAndItemsAreCollectedOnce)
{
    std::set<cl_SceneObject*> objects;
    EXPECT_EQ(cl_SceneObject::CollectSceneObjects(objects), 5u) << "the bell's two names are one item";
    EXPECT_EQ(objects.count(m_bell), 1u);
    EXPECT_EQ(objects.count(m_door.get()), 0u) << "managed by neither";
}

TEST_F(Resolving, APickedEntityBelongsToTheAssetOfItsPart)
{
    cl_ControlledPuppet& chest = *m_chest->GetPuppet();
    chest.AddSubMesh("body_frame", "box");
    chest.AddSubMesh("body_leaf", "lid");
    chest.SetSubMeshAssetRef("lid", "items_lid");
    chest.AddSlaveObject("coin", "body_key", "items_coin");
    chest.AddSlaveObject("lock", "body_key", "parent");
    // Listed with the characters, it would answer for the hero's parts if it were searched.
    m_characters.AddCharacter(std::make_unique<cl_Character>(Scene(), m_hero->GetPuppet(), "borrower"));
    m_hero->GetPuppet()->AddSubMesh("body_leaf", "hat");

    const struct
    {
        std::string entity;
        const char* owner;
    } cases[] = {
        {chest.GetSubMesh("box").entity->getName(), "chest"},
        {"box", "chest"},
        {chest.GetSubMesh("lid").entity->getName(), "items_lid"},
        {chest.GetSlave("coin").entity->getName(), "items_coin"},
        {chest.GetSlave("lock").entity->getName(), "chest"},
        {m_hero->GetPuppet()->GetSubMesh("hat").entity->getName(), "hero"},
        {"co_chest", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(cl_SceneObject::FindOwnerOfEntity(c.entity), c.owner) << c.entity;
}
} // namespace
