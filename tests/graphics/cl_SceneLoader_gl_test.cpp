#include "graphics/cl_SceneLoader.h"

#include "common/MeshHelpers.h"
#include "graphics/cl_Navmesh.h"
#include "graphics/cl_Scene.h"
#include "support/SceneWindow.h"

#include <gtest/gtest.h>

#include <OgreEntity.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreSceneQuery.h>

#include <cstdio>
#include <string>
#include <vector>

namespace
{
using Colour = SceneWindow::Colour;

const int WIDTH = 400;
const int HEIGHT = 300;

// The pixel of a point of the location's floor (height 0): backdrop point (x, y) is the world point
// ((x - 400) * 0.5056, 0, (y - 300) * 0.5056), shown at half a pixel per backdrop unit.
int ScreenX(float worldX)
{
    return static_cast<int>((400.0f + worldX / 0.5056f) / 2.0f);
}
int ScreenY(float worldZ)
{
    return static_cast<int>((300.0f + worldZ / 0.5056f) / 2.0f);
}

int Brightness(const Colour& colour)
{
    return colour.r + colour.g + colour.b;
}

// Any error or warning of the log.
void ExpectNoComplaint(const LogCapture& log)
{
    for (const LogCapture::Line& line : log.Lines())
    {
        if (line.level & (cl_Logger::LEVEL_ERROR | cl_Logger::LEVEL_WARNING))
            ADD_FAILURE() << line.text;
    }
}

class DemoLocations : public testing::Test
{
protected:
    // The location in its first shot, rendered, and loaded without a complaint.
    void Show(const std::string& scene)
    {
        ASSERT_TRUE(m_window.Load(scene, cl_SceneLoader::QUALITY_HIGH));
        m_window.camera.ActivateShot("default");
        m_window.Render();
        ExpectNoComplaint(m_window.log);
    }

    SceneWindow m_window{WIDTH, HEIGHT};
};
} // namespace

TEST_F(DemoLocations, TheHallShowsItsPictureAndThePillarInTheLampsColour)
{
    Show("scenes_tower");
    EXPECT_TRUE(SceneWindow::Near(m_window.At(150, 50), {138, 122, 102})) << "wall";
    EXPECT_TRUE(SceneWindow::Near(m_window.At(300, 250), {107, 68, 35})) << "floor";
    EXPECT_TRUE(SceneWindow::Near(m_window.At(300, 80), {48, 96, 208})) << "window";
    // The top of the pillar, straight below the orange lamp: nearly the lamp's full colour.
    const Colour pillar = m_window.At(ScreenX(167.0f), ScreenY(12.6f));
    EXPECT_GT(pillar.r, 225) << pillar.g;
    EXPECT_NEAR(pillar.g, pillar.r / 2, 12);
    EXPECT_LT(pillar.b, 12);
    // The rug under the spot, through the white cookie of a spot without one: its own red.
    const Colour rug = m_window.At(ScreenX(50.5f), ScreenY(108.5f));
    EXPECT_GT(rug.r, 150);
    EXPECT_GT(rug.r, 2 * rug.g) << "not the white of a material that failed";
}

TEST_F(DemoLocations, TheSpotThrowsItsCookieOntoTheRugUntilACommandChangesIt)
{
    // The scene manager hands each spot's cookie to what the spot lights.
    m_window.scenes.CreateCurtain(&m_window.SceneManager(), nullptr);
    Show("scenes_tower");
    const char* const COMMAND = "sendcmd('scenemanager', 'SetCookieTexture', 'hall_spot', '%s')";
    const struct
    {
        const char* name;
        const char* cookie; // given by the command; "" for the one loaded
        // The window cookie's bars cross straight under the spot; a pane lies beside them.
        bool middleLit;
    } cases[] = {
        {"the window's cookie of the scene", "", false},
        {"no cookie", "no_cookie.png", true},
        {"the window's cookie again", "window_cookie.png", false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        if (*c.cookie)
        {
            char command[128];
            std::snprintf(command, sizeof command, COMMAND, c.cookie);
            ASSERT_TRUE(m_window.script.ExecuteString(command));
        }
        m_window.Render();
        const Colour middle = m_window.At(ScreenX(50.0f), ScreenY(108.0f));
        const Colour pane = m_window.At(ScreenX(62.0f), ScreenY(120.0f));
        EXPECT_GT(pane.r, 150) << "the light comes through a pane";
        EXPECT_EQ(middle.r > 100, c.middleLit) << middle.r;
    }
}

TEST_F(DemoLocations, EachFloorLeadsRoundItsBend)
{
    const struct
    {
        const char* scene;
        const char* floor;
        Ogre::Vector3 from;
        Ogre::Vector3 to; // behind the bend
    } cases[] = {
        {"scenes_tower", "tower_walk.mesh", Ogre::Vector3(-150, 50, 130), Ogre::Vector3(0, 50, -20)},
        {"scenes_yard", "yard_walk.mesh", Ogre::Vector3(-150, 50, 100), Ogre::Vector3(120, 50, -20)},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.scene);
        ASSERT_TRUE(m_window.Load(c.scene, cl_SceneLoader::QUALITY_HIGH));
        cl_Navmesh* floor = m_window.Scene().FindNavmesh(c.floor);
        ASSERT_NE(floor, nullptr);
        EXPECT_EQ(floor->GetTriangleCount(), 8);
        std::vector<st_NavPathPoint> path;
        floor->FindPath(c.from, c.to, path);
        ASSERT_GE(path.size(), 3u) << "a turn at the bend";
        EXPECT_LT(path.back().position.distance(c.to), 1.0f) << "the target reached";
    }
    ExpectNoComplaint(m_window.log);
}

TEST_F(DemoLocations, AClickOnTheHallsNicheFindsFloorThatTheWalkEndsShortOf)
{
    Show("scenes_tower");
    // Left of the doorway's leg, below the window.
    const Ogre::Vector3 niche(-40, 0, 25);
    Ogre::SceneManager& ogre = m_window.SceneManager();
    Ogre::RaySceneQuery* query =
        ogre.createRayQuery(Ogre::Ray(niche + Ogre::Vector3(0, 300, 0), Ogre::Vector3::NEGATIVE_UNIT_Y),
                            cl_Scene::QUERY_WALKABLE);
    query->setSortByDistance(true);
    const RaycastResult click = RaycastToPolygon(query);
    ogre.destroyQuery(query);
    ASSERT_TRUE(click.hit);
    EXPECT_EQ(click.object->getName(), "cm_floor");
    EXPECT_LT(click.point.distance(niche), 0.01f);

    cl_Navmesh* floor = m_window.Scene().FindNavmesh("tower_walk.mesh");
    ASSERT_NE(floor, nullptr);
    const Ogre::Vector3 above(0, 50, 0);
    Ogre::Vector3 point;
    EXPECT_EQ(floor->RayHit(click.point + above, Ogre::Vector3::NEGATIVE_UNIT_Y, point), -1);
    // A walk there aims at what the navigation mesh makes of the click: its nearest triangle.
    const st_NavRayHit aim = floor->RayHitTriangle(click.point + above, Ogre::Vector3::NEGATIVE_UNIT_Y);
    ASSERT_GE(aim.triangle, 0);
    std::vector<st_NavPathPoint> path;
    floor->FindPath(Ogre::Vector3(-100, 0, 100), aim.point, path);
    ASSERT_FALSE(path.empty());
    const Ogre::Vector3 end = path.back().position;
    EXPECT_GT(end.distance(niche), 10.0f) << "short of the click";
    EXPECT_LT(end.distance(niche), 40.0f) << "next to it";
    EXPECT_GE(floor->RayHit(end + above, Ogre::Vector3::NEGATIVE_UNIT_Y, point), 0)
        << "on the walkable floor";
    ExpectNoComplaint(m_window.log);
}

TEST_F(DemoLocations, ABoxCastingAShadowDarkensTheShadowFloorAtHighQualityOnly)
{
    const struct
    {
        int level;
        bool darkened;
    } cases[] = {{cl_SceneLoader::QUALITY_HIGH, true}, {cl_SceneLoader::QUALITY_LOW, false}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.level);
        ASSERT_TRUE(m_window.Load("scenes_tower", c.level));
        m_window.camera.ActivateShot("default");
        // Between the hall's shadow light and the middle of the shadow floor (-65, 0, 108), nearer the floor.
        Ogre::SceneManager& ogre = m_window.SceneManager();
        Ogre::Entity* box = ogre.createEntity("shadow_box", "click_box.mesh");
        box->setMaterialName("Demo/Props");
        box->setCastShadows(true);
        Ogre::SceneNode* node =
            ogre.getSceneNode("_game")->createChildSceneNode(Ogre::Vector3(-125, 75, 108));
        node->attachObject(box);
        m_window.Render();
        const Colour shadowed = m_window.At(ScreenX(-65.0f), ScreenY(108.0f));
        const Colour open = m_window.At(ScreenX(-35.0f), ScreenY(140.0f));
        EXPECT_TRUE(SceneWindow::Near(open, {107, 68, 35})) << "beside the shadow the floor shows";
        if (c.darkened)
            EXPECT_LT(Brightness(shadowed), Brightness(open) * 6 / 10);
        else
            EXPECT_TRUE(SceneWindow::Near(shadowed, open));
        ogre.destroySceneNode(node);
        ogre.destroyEntity(box);
    }
    ExpectNoComplaint(m_window.log);
}

TEST_F(DemoLocations, TheYardShowsItsPictureAndItsGrass)
{
    Show("scenes_yard");
    EXPECT_TRUE(SceneWindow::Near(m_window.At(150, 60), {120, 180, 235})) << "sky";
    EXPECT_TRUE(SceneWindow::Near(m_window.At(250, 180), {60, 150, 50})) << "grass";
    const Colour lawn = m_window.At(ScreenX(-95.0f), ScreenY(95.0f));
    EXPECT_TRUE(SceneWindow::Near(lawn, {90, 190, 70}))
        << "the grass patch under the sun shows its own grass";
}
