#include "graphics/SceneManagerCommands.h"

#include "assets/cl_AssetLogic.h"
#include "assets/cl_SceneAsset.h"
#include "graphics/cl_AnimatedPatch.h"
#include "graphics/cl_Backdrop.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_Patch.h"
#include "graphics/cl_Scene.h"
#include "support/ArgumentText.h"
#include "support/SceneWorld.h"

#include <gtest/gtest.h>

#include <OgreEntity.h>
#include <OgreLight.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreSubEntity.h>
#include <tinyxml.h>

#include <functional>
#include <string>

namespace
{
// The commands on the demo's hall, entered anew for each case.
class SceneManagerCommands : public testing::Test
{
protected:
    void EnterHall()
    {
        world.scenes.SetSwitchToSceneNoSpawn(false);
        world.scenes.SetInteractionBlocked(false);
        world.scenes.UnloadScene();
        world.assets.LoadGameState(DemoNewGameState());
        world.scenes.SwitchScene("scenes_tower", "default", false, false);
        world.assets.Frames(60, 1.0f / 30.0f);
        // The picture unshifted.
        world.camera.ActivateShot("default");
        windowTurn = Node("window_light").getOrientation();
        world.assets.log.Clear();
    }
    void GiveParameters(const std::string& id, const std::string& xml)
    {
        TiXmlDocument document;
        document.Parse(xml.c_str());
        world.assets.Logic(id).LoadFromXml(*document.RootElement());
    }
    cl_Scene& Hall() const { return *world.scenes.GetLoadedScene(); }
    Ogre::SceneNode& Node(const std::string& name) const { return *world.SceneManager().getSceneNode(name); }
    Ogre::Light& Light(const std::string& name) const { return *world.SceneManager().getLight(name); }
    cl_Character& Keeper() const { return *world.characters.GetCharacter("characters_keeper"); }
    // The light mask of the keeper's first part.
    uint32_t KeeperLightMask() const
    {
        const cl_Puppet& puppet = *Keeper().GetPuppet();
        return puppet.GetSubMesh(puppet.GetSubMeshNames().front()).entity->getLightMask();
    }
    std::string State(const std::string& id, const char* attribute)
    {
        const char* value = world.assets.gameState.GetItemState(id)->Attribute(attribute);
        return value ? value : "(none)";
    }
    std::string LocationIn(const std::string& scene, const std::string& id)
    {
        auto* asset = dynamic_cast<cl_SceneAsset*>(&world.assets.Asset(scene));
        return asset ? asset->FindObjectLocation(id) : "(no scene)";
    }

    SceneWorld world{SceneWorld::DEMO_CHAPTER};
    // The window light's orientation as loaded.
    Ogre::Quaternion windowTurn;
};

testing::AssertionResult Near(const Ogre::Vector3& seen, const Ogre::Vector3& expected)
{
    if (seen.positionEquals(expected, 0.01f))
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "(" << seen.x << ", " << seen.y << ", " << seen.z << ")";
}
} // namespace

TEST_F(SceneManagerCommands, EveryCommandFromLuaOnTheHall)
{
    const Ogre::Quaternion quarterYaw(Ogre::Degree(90), Ogre::Vector3::UNIT_Y);
    const struct
    {
        const char* name;
        // The arguments of sendcmd after the receiver.
        const char* arguments;
        // What Lua gets back.
        const char* answer;
        std::function<void()> check;
    } cases[] = {
        {"a backdrop that is none changes nothing", "'ActivateBackdrop', 'nowhere'", "",
         [&] { EXPECT_EQ(Hall().GetActiveBackdropName(), "default"); }},
        {"going to the yard", "'GoToScene', 'scenes_yard'", "",
         [&]
         {
             world.assets.Frames(90, 1.0f / 30.0f);
             EXPECT_EQ(world.scenes.GetCurrentSceneName(), "scenes_yard");
             EXPECT_EQ(State("characters_hero", "currentscene"), "scenes_yard");
         }},
        {"a switch to no scene keeps the no-spawn flag for the next change",
         "'SwitchToScene', 'scenes_nowhere'", "",
         [&]
         {
             EXPECT_TRUE(world.scenes.IsSwitchToSceneNoSpawn());
             EXPECT_EQ(world.scenes.GetCurrentSceneName(), "scenes_tower");
         }},
        {"the key goes where its parameters say", "'SetLocation', 'items_key', 'there', 'spot'", "",
         [&]
         {
             EXPECT_EQ(LocationIn("scenes_yard", "items_key"), "items_cloth");
             EXPECT_EQ(State("items_key", "currentscene"), "scenes_yard");
         }},
        {"two arguments are refused", "'SetLocation', 'items_key', 'there'", "",
         [&]
         {
             EXPECT_EQ(LocationIn("scenes_yard", "items_key"), "");
             EXPECT_TRUE(world.assets.log.Contains("SetLocation"));
         }},
        {"the keeper goes where his parameters say",
         "'SetLocationOfCharacter', 'characters_keeper', 'there', 'spot'", "",
         [&] { EXPECT_EQ(LocationIn("scenes_yard", "characters_keeper"), "items_cloth"); }},
        {"the keeper to a node", "'SetToSceneNode', 'characters_keeper', 'op_door'", "",
         [&] {
             EXPECT_TRUE(Near(Keeper().GetSceneNode()->_getDerivedPosition(), {0, 0, 45}));
         }},
        {"a light's mask", "'SetLightMask', 'hall_lamp', 4", "",
         [&] { EXPECT_EQ(Light("hall_lamp").getLightMask(), 4u); }},
        {"the keeper lit by the lamp", "'AddLightMask', 'characters_keeper', 'hall_lamp'", "",
         [&] { EXPECT_NE(KeeperLightMask() & Light("hall_lamp").getLightMask(), 0u); }},
        {"the keeper no longer lit by the lamp", "'RemoveLightMask', 'characters_keeper', 'hall_lamp'", "",
         [&] { EXPECT_EQ(KeeperLightMask() & Light("hall_lamp").getLightMask(), 0u); }},
        {"the door's state, recorded", "'SetVisualState', 'items_door', 'open'", "",
         [&] { EXPECT_EQ(State("items_door", "visualisation"), "open"); }},
        {"the keeper out of the hall", "'RemoveCharacterFromScene', 'characters_keeper'", "",
         [&] { EXPECT_EQ(LocationIn("scenes_tower", "characters_keeper"), ""); }},
        {"the hero out of every scene", "'RemoveCharacterFromAllScenes', 'characters_hero'", "",
         [&] { EXPECT_EQ(LocationIn("scenes_tower", "characters_hero"), ""); }},
        {"the key out of the hall", "'RemoveItemFromScene', 'items_key'", "",
         [&] { EXPECT_EQ(LocationIn("scenes_tower", "items_key"), ""); }},
        {"the pillar's patch hidden", "'SetPatchVisible', 'hall_pillar', false", "",
         [&] { EXPECT_FALSE(Hall().GetPatch("hall_pillar")->IsVisible()); }},
        {"a patch's visibility", "'GetPatchVisible', 'hall_pillar'", "bool true", [] {}},
        {"an unknown patch answers nothing", "'GetPatchVisible', 'nowhere'", "", [] {}},
        {"a patch moved", "'SetPatchPosition', 'hall_pillar', 10, 20", "",
         [&] { EXPECT_NE(Hall().GetPatch("hall_pillar"), nullptr); }},
        {"the torch stopped", "'StopPatchAnimation', 'torch'", "",
         [&] { EXPECT_FALSE(dynamic_cast<cl_AnimatedPatch&>(*Hall().GetPatch("torch")).IsPlaying()); }},
        {"the torch's time", "'SetPatchAnimationTimePosition', 'torch', 1.5", "",
         [&] {
             EXPECT_FLOAT_EQ(dynamic_cast<cl_AnimatedPatch&>(*Hall().GetPatch("torch")).GetTimePosition(),
                             1.5f);
         }},
        {"the torch started", "'StartPatchAnimation', 'torch'", "",
         [&] { EXPECT_TRUE(dynamic_cast<cl_AnimatedPatch&>(*Hall().GetPatch("torch")).IsPlaying()); }},
        {"the debug view", "'ToggleDebugView'", "", [&] { EXPECT_TRUE(Hall().IsDebugView()); }},
        // The axes' mesh is common data, which this world does not read: the attempt shows in the log.
        {"a node shown", "'VisualizeSceneNode', 'op_door'", "",
         [&] { EXPECT_TRUE(world.assets.log.Contains("axes.mesh")); }},
        {"a node's position", "'GetSceneNodePosition', 'op_door'", "int 0, int 0, int 45", [] {}},
        {"no node is at the origin", "'GetSceneNodePosition', 'nowhere'", "int 0, int 0, int 0", [] {}},
        {"a node placed", "'SetSceneNodePosition', 'op_door', 1, 2, 3", "",
         [&] {
             EXPECT_TRUE(Near(Node("op_door").getPosition(), {1, 2, 3}));
         }},
        {"a node moved up and snapped back onto the floor",
         "'MoveSceneNode', 'op_door', 10, 50, 0, false, true", "",
         [&] {
             EXPECT_TRUE(Near(Node("op_door").getPosition(), {10, 0, 45}));
         }},
        {"a node moved without snapping", "'MoveSceneNode', 'op_door', 10, 50, 0, false, false", "",
         [&] {
             EXPECT_TRUE(Near(Node("op_door").getPosition(), {10, 50, 45}));
         }},
        {"a node turned in its own space", "'RotateSceneNode', 'window_light', 0, 90, 0, true", "",
         [&] {
             EXPECT_TRUE(
                 Node("window_light").getOrientation().equals(windowTurn * quarterYaw, Ogre::Degree(0.1f)));
         }},
        {"a node turned in the world's space", "'RotateSceneNode', 'window_light', 0, 90, 0, false", "",
         [&] {
             EXPECT_TRUE(
                 Node("window_light").getOrientation().equals(quarterYaw * windowTurn, Ogre::Degree(0.1f)));
         }},
        {"the lamp's hook hidden", "'SetSceneNodeVisible', 'ap_lamp_hook', false", "", [] {}},
        {"black, cancelling nothing", "'FadeToBlack', 0", "",
         [&] { EXPECT_TRUE(world.scenes.GetCurtain()->IsBlack()); }},
        {"clear again", "'FadeFromBlack', 0", "",
         [&] { EXPECT_FALSE(world.scenes.GetCurtain()->IsBlack()); }},
        {"the lamp off", "'DisableLight', 'hall_lamp'", "",
         [&] { EXPECT_FALSE(Light("hall_lamp").isVisible()); }},
        {"the lamp on", "'EnableLight', 'hall_lamp'", "",
         [&] { EXPECT_TRUE(Light("hall_lamp").isVisible()); }},
        {"the spot's cookie", "'SetCookieTexture', 'hall_spot', 'glow.png'", "",
         [&]
         {
             EXPECT_EQ(Ogre::any_cast<std::string>(Light("hall_spot").getUserObjectBindings().getUserAny()),
                       "glow.png");
         }},
        {"a point light takes no cookie", "'SetCookieTexture', 'hall_lamp', 'glow.png'", "",
         [&] { EXPECT_FALSE(Light("hall_lamp").getUserObjectBindings().getUserAny().has_value()); }},
        {"the pillar's material swapped", "'SwapMaterial', 'Demo/Props', 'BaseWhite'", "",
         [&] {
             EXPECT_EQ(world.SceneManager().getEntity("ao_pillar")->getSubEntity(0)->getMaterialName(),
                       "BaseWhite");
         }},
        {"the keeper twice as big", "'ScaleSceneObject', 'characters_keeper', 2", "",
         [&] {
             EXPECT_TRUE(Near(Keeper().GetPuppet()->GetSceneNode()->getScale(), {2, 2, 2}));
         }},
        {"the view's shift", "'GetScrollOffset'", "int 0, int 0", [] {}},
        {"fog of four arguments keeps its colour", "'SetFogParams', 0.5, 10, 20, 1", "",
         [&]
         {
             EXPECT_EQ(world.SceneManager().getFogMode(), Ogre::FOG_LINEAR);
             EXPECT_FLOAT_EQ(world.SceneManager().getFogStart(), 10.0f);
             EXPECT_EQ(world.SceneManager().getFogColour(), Ogre::ColourValue(0.5f, 0.5f, 0.55f));
         }},
        {"fog of five arguments keeps its colour", "'SetFogParams', 0.5, 10, 20, 1, 1", "",
         [&] { EXPECT_EQ(world.SceneManager().getFogColour(), Ogre::ColourValue(0.5f, 0.5f, 0.55f)); }},
        {"fog of six arguments takes the colour", "'SetFogParams', 0.5, 10, 30, 1, 0, 0.25", "",
         [&]
         {
             EXPECT_FLOAT_EQ(world.SceneManager().getFogEnd(), 30.0f);
             EXPECT_EQ(world.SceneManager().getFogColour(), Ogre::ColourValue(1.0f, 0.0f, 0.25f));
         }},
        {"interaction blocked", "'BlockInteraction', true", "",
         [&] { EXPECT_TRUE(world.scenes.IsInteractionBlocked()); }},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        EnterHall();
        GiveParameters("items_key", "<logic><parameter name='there' assetid='scenes_yard'/>"
                                    "<parameter name='spot' assetid='items_cloth'/></logic>");
        GiveParameters("characters_keeper", "<logic><parameter name='there' assetid='scenes_yard'/>"
                                            "<parameter name='spot' assetid='items_cloth'/></logic>");
        EXPECT_EQ(ReturnedText(std::string("return sendcmd('scenemanager', ") + c.arguments + ")"), c.answer);
        c.check();
    }
}
