#include "graphics/cl_NavmeshDebugView.h"

#include "graphics/cl_Navmesh.h"
#include "support/TestWindow.h"
#include "support/TriangleMesh.h"

#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <gtest/gtest.h>

#include <vector>

namespace
{
using Ogre::Vector3;

// Whether some pixel of the window has exactly that colour.
bool Shows(const TestWindow& window, int width, int height, const TestWindow::Colour& colour)
{
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
        {
            const TestWindow::Colour pixel = window.At(x, y);
            if (pixel.r == colour.r && pixel.g == colour.g && pixel.b == colour.b)
                return true;
        }
    return false;
}

TEST(NavmeshDebugViewOnScreen, DrawsTheMeshBlueAndASearchRedGreenAndWhiteWhateverTheLights)
{
    const int width = 80;
    const int height = 60;
    TestWindow window(width, height);
    window.SceneManager().getRootSceneNode()->createChildSceneNode("_game");
    // Two square cells side by side, seen from above.
    CreateTriangleMesh("floor",
                       {Vector3(0, 0, 0), Vector3(0, 0, 100), Vector3(100, 0, 0), Vector3(100, 0, 100),
                        Vector3(200, 0, 0), Vector3(200, 0, 100)},
                       {0, 1, 2, 2, 1, 3, 2, 3, 4, 4, 3, 5});
    Ogre::SceneNode* eye = window.Camera().getParentSceneNode();
    eye->setPosition(100, 300, 51);
    eye->lookAt(Vector3(100, 0, 50), Ogre::Node::TS_WORLD);
    {
        cl_Navmesh navmesh;
        navmesh.Load("floor", Vector3::ZERO, Ogre::Quaternion::IDENTITY, Vector3::UNIT_SCALE, 0);
        navmesh.ToggleDebugView(window.SceneManager());
        window.Render();
        EXPECT_TRUE(Shows(window, width, height, {0, 0, 255}));
        EXPECT_FALSE(Shows(window, width, height, {255, 255, 255})) << "no line is left white";

        std::vector<st_NavPathPoint> path;
        navmesh.FindPath(Vector3(10, 10, 10), Vector3(190, 10, 90), path);
        window.Render();
        EXPECT_TRUE(Shows(window, width, height, {255, 0, 0}));
        EXPECT_TRUE(Shows(window, width, height, {0, 255, 0}));
        EXPECT_TRUE(Shows(window, width, height, {255, 255, 255}));
    }
    window.Render();
    EXPECT_FALSE(Shows(window, width, height, {0, 0, 255})) << "gone with its navmesh";
}
} // namespace
