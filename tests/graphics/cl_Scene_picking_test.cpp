#include "graphics/cl_Scene.h"

#include "assets/cl_ItemAsset.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_CharacterManager.h"
#include "graphics/cl_SceneManager.h"
#include "graphics/cl_SceneObject.h"
#include "support/SceneWorld.h"

#include <gtest/gtest.h>

#include <OgreCamera.h>
#include <OgreEntity.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <string>

namespace
{
// The demo's hall seen from its camera in the shot "default": backdrop point (x, y) of the 800 x 600
// picture, which fills the screen, is the world point ((x - 400) * 0.5056, 0, (y - 300) * 0.5056) of the
// floor.
const float FLOOR_SCALE = 0.5056f;

Ogre::Vector2 ScreenOfFloor(float worldX, float worldZ)
{
    return {(worldX / FLOOR_SCALE + 400.0f) / 800.0f, (worldZ / FLOOR_SCALE + 300.0f) / 600.0f};
}

class HallPicking : public testing::Test
{
protected:
    HallPicking()
    {
        world.scenes.SwitchScene("scenes_tower", "default", false, false);
        world.camera.ActivateShot("default");
        UpdateBounds();
    }

    // The world bounds the ray queries test, as a rendered frame brings them up to date.
    void UpdateBounds() const { world.SceneManager().getRootSceneNode()->_update(true, false); }

    cl_Scene& Hall() const { return *world.scenes.GetLoadedScene(); }
    // The id of the pick at the floor point under (worldX, worldZ); empty for none.
    std::string PickAt(float worldX, float worldZ) const
    {
        const Ogre::Vector2 screen = ScreenOfFloor(worldX, worldZ);
        const cl_ItemAsset* asset = Hall().PickItem(screen.x, screen.y);
        return asset ? asset->GetId() : std::string();
    }
    void Stand(const std::string& character, const std::string& location) const
    {
        cl_Character* figure = world.characters.GetCharacter(character);
        ASSERT_TRUE(figure);
        figure->SetLocation(location);
        UpdateBounds();
    }

    SceneWorld world{SceneWorld::DEMO_CHAPTER};
};
} // namespace

TEST(ExitBorder, TheBorderIsTheLeftRightAndTopMarginButNeverTheBottomBand)
{
    const struct
    {
        float x, y;
        bool inBorder;
    } cases[] = {
        {0.02f, 0.5f, true},   {0.98f, 0.5f, true},   {0.5f, 0.02f, true},  {0.5f, 0.5f, false},
        {0.02f, 0.97f, false}, {0.5f, 0.97f, false},  {0.05f, 0.5f, false}, {0.95f, 0.5f, false},
        {0.5f, 0.05f, false},  {0.98f, 0.95f, false}, {0.98f, 0.94f, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(cl_Scene::IsInViewportMargin(c.x, c.y), c.inBorder) << c.x << ", " << c.y;
}

TEST_F(HallPicking, AClickInTheBorderOfTheArmedExitGoesToTheYard)
{
    const struct
    {
        const char* name;
        bool armed;
        float x, y;
        bool taken;
    } cases[] = {
        {"right border", true, 0.98f, 0.5f, true},     {"top border", true, 0.5f, 0.02f, true},
        {"middle", true, 0.5f, 0.5f, false},           {"bottom band", true, 0.02f, 0.97f, false},
        {"exit not armed", false, 0.98f, 0.5f, false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        world.scenes.SwitchScene("scenes_tower", "default", false, false);
        world.assets.Frames(90, 1.0f / 30.0f);
        UpdateBounds();
        ASSERT_TRUE(Hall().IsExitArmed());
        Hall().SetExitArmed(c.armed);
        EXPECT_EQ(Hall().HandleExitClick(c.x, c.y), c.taken);
        world.assets.Frames(90, 1.0f / 30.0f);
        EXPECT_EQ(world.scenes.GetCurrentSceneName(), c.taken ? "scenes_yard" : "scenes_tower");
        EXPECT_FALSE(world.scenes.IsChangePending());
    }
}

TEST_F(HallPicking, APickFindsTheNearestInteractiveObjectUnderThePoint)
{
    // The keeper is tall: seen from above, his head covers the floor beyond his feet.
    const struct
    {
        const char* name;
        float x, z; // the floor point
        const char* keeperAt;
        const char* keeperMode;
        const char* picked;
    } cases[] = {
        {"the key's click object", 111.0f, 86.0f, "positions_start", "talk", "items_key"},
        {"the door's click object", 0.0f, 18.0f, "positions_start", "talk", "items_door"},
        {"the keeper, a character", -120.0f, 110.0f, "positions_start", "talk", "characters_keeper"},
        {"bare floor: no hit", 150.0f, -20.0f, "positions_start", "talk", ""},
        {"the keeper of mode none", -120.0f, 110.0f, "positions_start", "none", ""},
        {"the keeper of mode none before the door is passed over", 0.0f, 18.0f, "op_door_target", "none",
         "items_door"},
        {"the keeper before the door is picked", 0.0f, 18.0f, "op_door_target", "talk", "characters_keeper"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        world.assets.script.ExecuteString(
            std::string("sendcmd('poolmanager', 'SetInteractionMode', 'characters_keeper', '") +
            c.keeperMode + "')");
        Stand("characters_keeper", c.keeperAt);
        EXPECT_EQ(PickAt(c.x, c.z), c.picked);
    }
}

TEST_F(HallPicking, TheKeeperBeforeTheDoorIsHitFirst)
{
    // What makes the cases before the door worth having: the ray meets the keeper, then the door.
    Stand("characters_keeper", "op_door_target");
    const Ogre::Vector2 screen = ScreenOfFloor(0.0f, 18.0f);
    EntityHits hits;
    ASSERT_GE(Hall().RayQueryEntities(screen.x, screen.y, hits), 2u);
    EXPECT_EQ(cl_SceneObject::FindOwnerOfEntity(hits.front().entity->getName()), "characters_keeper");
    EXPECT_EQ(hits.back().entity->getName(), "co_door");
    for (size_t i = 1; i < hits.size(); ++i)
        EXPECT_LE(hits[i - 1].distance, hits[i].distance);
}

TEST_F(HallPicking, AnItemWhoseModeIsNoneIsNotPicked)
{
    Stand("characters_keeper", "positions_start");
    world.assets.script.ExecuteString("sendcmd('poolmanager', 'SetInteractionMode', 'items_key', 'none')");
    EXPECT_EQ(PickAt(111.0f, 86.0f), "");
}

TEST_F(HallPicking, AWalkClickFindsTheFloorPoint)
{
    const Ogre::Vector2 screen = ScreenOfFloor(-120.0f, 110.0f);
    Ogre::Vector3 point(1, 2, 3);
    ASSERT_TRUE(Hall().RayQuery(screen.x, screen.y, cl_Scene::QUERY_WALKABLE, point));
    EXPECT_NEAR(point.x, -120.0f, 1.0f);
    EXPECT_NEAR(point.y, 0.0f, 1.0f);
    EXPECT_NEAR(point.z, 110.0f, 1.0f);
    // Nothing walkable outside the picture's floor.
    point = Ogre::Vector3(1, 2, 3);
    EXPECT_FALSE(Hall().RayQuery(0.5f, 0.01f, cl_Scene::QUERY_WALKABLE, point));
    EXPECT_EQ(point, Ogre::Vector3(1, 2, 3));
}

TEST_F(HallPicking, HotSpotsShowTheKeyAndTheDoorThenTheKeeper)
{
    HotSpots spots;
    Hall().GetHotSpots(spots);
    ASSERT_EQ(spots.size(), 3u);
    const struct
    {
        const char* id;
        const char* mode;
        float x, z;
        bool atFocusTarget;
    } expected[] = {
        {"items_key", "take", 111.0f, 86.0f, false},
        {"items_door", "use", 0.0f, 18.0f, false},
        // The keeper's data makes his head his focus target: his spot is there, not at his feet.
        {"characters_keeper", "talk", 60.0f, 60.0f, true},
    };
    for (size_t i = 0; i < spots.size(); ++i)
    {
        SCOPED_TRACE(expected[i].id);
        EXPECT_EQ(spots[i].id, expected[i].id);
        EXPECT_EQ(spots[i].interactionMode, expected[i].mode);
        Ogre::Vector2 screen = ScreenOfFloor(expected[i].x, expected[i].z);
        if (expected[i].atFocusTarget)
        {
            const Ogre::SceneNode* head = cl_SceneObject::ResolveByName(expected[i].id)->GetFocusNode();
            ASSERT_TRUE(head);
            EXPECT_GT(head->_getDerivedPosition().y, 50.0f);
            ASSERT_TRUE(Hall().WorldToScreen(head->_getDerivedPosition(), true, screen));
        }
        // Focus points and click objects lie a little above the floor.
        EXPECT_NEAR(spots[i].x, screen.x, 0.05f);
        EXPECT_NEAR(spots[i].y, screen.y, 0.05f);
    }
}

TEST_F(HallPicking, ObjectLocationsListTheKeeperThenTheItems)
{
    ObjectLocations locations;
    Hall().GetObjectLocations(locations);
    ASSERT_EQ(locations.size(), 3u);
    EXPECT_EQ(locations[0].id, "characters_keeper");
    EXPECT_EQ(locations[0].kind, ObjectLocation::KIND_CHARACTER);
    EXPECT_TRUE(locations[0].object);
    EXPECT_EQ(locations[1].id, "items_key");
    EXPECT_EQ(locations[2].id, "items_door");
}

TEST_F(HallPicking, ThePointAheadOfTheCameraIsTheScreenCentre)
{
    const Ogre::Camera& camera = *world.ogreCamera;
    Ogre::Vector2 screen;
    const Ogre::Vector3 ahead = camera.getDerivedPosition() + camera.getDerivedDirection() * 300.0f;
    EXPECT_TRUE(Hall().WorldToScreen(ahead, true, screen));
    EXPECT_NEAR(screen.x, 0.5f, 1e-4f);
    EXPECT_NEAR(screen.y, 0.5f, 1e-4f);
    EXPECT_TRUE(Hall().WorldToScreen(ahead, false, screen));
    EXPECT_NEAR(screen.x, 0.0f, 1e-4f);
    EXPECT_NEAR(screen.y, 0.0f, 1e-4f);
    // The floor's top left corner is the screen's.
    Hall().WorldToScreen(Ogre::Vector3(-400.0f * FLOOR_SCALE, 0.0f, -300.0f * FLOOR_SCALE), true, screen);
    EXPECT_NEAR(screen.x, 0.0f, 0.01f);
    EXPECT_NEAR(screen.y, 0.0f, 0.01f);
}
