#include "graphics/cl_Backdrop.h"

#include "graphics/cl_AnimatedPatch.h"
#include "graphics/cl_Camera.h"
#include "graphics/cl_LightPatch.h"
#include "graphics/cl_Scene.h"
#include "graphics/cl_SceneLoader.h"
#include "support/SceneWindow.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace
{
using Colour = SceneWindow::Colour;

const int WIDTH = 400;
const int HEIGHT = 300;

const Colour WALL{138, 122, 102};
const Colour FLOOR{107, 68, 35};
const Colour WINDOW{48, 96, 208};
const Colour PILLAR{80, 80, 80};
const Colour DOORWAY{40, 30, 25};
const Colour TORCH[] = {{230, 30, 30}, {30, 200, 30}, {30, 30, 230}, {230, 230, 30}};

// The demo's tower hall on a 400 x 300 window, loaded from the laid-out demo by the scene loader at the
// demo's quality "high".
class HallBackdrop : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_window.Load("scenes_tower", cl_SceneLoader::QUALITY_HIGH));
        m_scene = &m_window.Scene();
        m_backdrop = m_scene->GetActiveBackdrop();
        ASSERT_NE(m_backdrop, nullptr);
    }

    void Render() { m_window.Render(); }
    Colour At(int x, int y) const { return m_window.At(x, y); }
    // The point of the picture at zoom 1 with the whole picture shown: half a pixel per backdrop unit.
    Colour AtBackdrop(int x, int y) const { return At(x / 2, y / 2); }
    std::vector<int> Extent(const Colour& colour) const { return m_window.Extent(colour); }
    static testing::AssertionResult Near(const Colour& seen, const Colour& expected)
    {
        return SceneWindow::Near(seen, expected);
    }

    template <class Patch> Patch& FirstPatch()
    {
        for (const std::unique_ptr<cl_Patch>& patch : m_backdrop->GetPatches())
        {
            if (auto* found = dynamic_cast<Patch*>(patch.get()))
                return *found;
        }
        throw std::runtime_error("no such patch");
    }

    SceneWindow m_window{WIDTH, HEIGHT};
    cl_Camera* m_camera = &m_window.camera;
    cl_Scene* m_scene = nullptr;
    cl_Backdrop* m_backdrop = nullptr;
};
} // namespace

TEST_F(HallBackdrop, ShowsThePictureWhereItsRegionsAre)
{
    // The demo's hall loads without a complaint.
    for (const LogCapture::Line& line : m_window.log.Lines())
    {
        if (line.level & (cl_Logger::LEVEL_ERROR | cl_Logger::LEVEL_WARNING))
            ADD_FAILURE() << line.text;
    }
    m_camera->ActivateShot("default");
    Render();
    EXPECT_TRUE(Near(AtBackdrop(300, 100), WALL));
    EXPECT_TRUE(Near(AtBackdrop(600, 500), FLOOR));
    EXPECT_TRUE(Near(AtBackdrop(600, 160), WINDOW));
    EXPECT_TRUE(Near(AtBackdrop(140, 300), PILLAR));
    EXPECT_TRUE(Near(AtBackdrop(400, 330), DOORWAY));
    // The window's corners: the picture is neither mirrored nor shifted.
    const std::vector<int> window = Extent(WINDOW);
    const int corners[] = {270, 50, 329, 109};
    for (int side = 0; side < 4; ++side)
        EXPECT_NEAR(window[side], corners[side], 1) << "side " << side;
}

TEST_F(HallBackdrop, ShowsTheTorchsFrameOfTheTime)
{
    m_camera->ActivateShot("default");
    cl_AnimatedPatch& torch = FirstPatch<cl_AnimatedPatch>();
    for (int frame = 0; frame < 4; ++frame)
    {
        torch.SetTimePosition(0.5f * frame + 0.25f);
        Render();
        EXPECT_TRUE(Near(AtBackdrop(278, 198), TORCH[frame])) << "frame " << frame;
    }
}

TEST_F(HallBackdrop, TheLightBrightensOrDarkensItsRectangle)
{
    m_camera->ActivateShot("default");
    cl_LightPatch& light = FirstPatch<cl_LightPatch>();
    light.Hide();
    Render();
    EXPECT_TRUE(Near(AtBackdrop(284, 364), WALL));
    light.Show();
    Render();
    const Colour lit = AtBackdrop(284, 364);
    EXPECT_GT(lit.r, WALL.r + 40);
    EXPECT_GT(lit.g, WALL.g + 40);
    EXPECT_TRUE(Near(AtBackdrop(140, 364), PILLAR));

    light.SetLightMode(cl_LightPatch::LIGHT_DARKEN);
    light.SetColor(Ogre::ColourValue(0.1f, 0.1f, 0.1f));
    Render();
    const Colour darkened = AtBackdrop(284, 364);
    EXPECT_LT(darkened.r, WALL.r - 40);
    EXPECT_LT(darkened.g, WALL.g - 40);
}

TEST_F(HallBackdrop, AShotLooksAtItsPointInTheMiddle)
{
    struct Case
    {
        const char* name;
        float zoom;
        double windowWidth;
    };
    // The demo's close-up of the window is zoomed, and looks further out to show it in the middle.
    const Case cases[] = {{"", 1.0f, 60.0}, {"hall_window", 0.5f, 120.0}};
    for (const Case& test : cases)
    {
        SCOPED_TRACE(test.name);
        if (*test.name)
            m_camera->ActivateShot(test.name);
        else
            m_camera->ApplyShot(cl_Shot(m_backdrop->BackdropToWorld(600, 160), test.zoom, 0.0f, "default"));
        Render();
        EXPECT_TRUE(Near(At(WIDTH / 2, HEIGHT / 2), WINDOW));
        const std::vector<int> window = Extent(WINDOW);
        EXPECT_NEAR((window[0] + window[2]) / 2.0, WIDTH / 2, 4.0);
        EXPECT_NEAR((window[1] + window[3]) / 2.0, HEIGHT / 2, 4.0);
        EXPECT_NEAR(window[2] - window[0] + 1, test.windowWidth, 2.0);
    }
}

TEST_F(HallBackdrop, ZoomTwoHalvesThePictureAroundTheShiftedCentre)
{
    m_camera->ApplyShot(cl_Shot(m_backdrop->BackdropToWorld(600, 160), 1.0f, 0.0f, "default"));
    Render();
    const std::vector<int> near = Extent(WINDOW);
    const double width = near[2] - near[0] + 1;
    const double centreX = (near[0] + near[2]) / 2.0;
    const double centreY = (near[1] + near[3]) / 2.0;
    // Where the picture's centre shows, 200 units left of the window's centre and 140 below.
    const double pixelsPerUnit = width / 120.0;
    const double fixedX = centreX - 200.0 * pixelsPerUnit;
    const double fixedY = centreY + 140.0 * pixelsPerUnit;

    m_backdrop->SetZoom(2.0f);
    Render();
    const std::vector<int> far = Extent(WINDOW);
    EXPECT_NEAR(far[2] - far[0] + 1, width / 2.0, 1.5);
    EXPECT_NEAR((far[0] + far[2]) / 2.0, fixedX + (centreX - fixedX) / 2.0, 1.5);
    EXPECT_NEAR((far[1] + far[3]) / 2.0, fixedY + (centreY - fixedY) / 2.0, 1.5);
}

TEST_F(HallBackdrop, APaneOfHigherPriorityDrawsOverItsGroup)
{
    m_camera->ActivateShot("default");
    // Both over the doorway, in the picture's group: the window first but in front, then the pillar.
    m_backdrop->CreatePatch("hall.png", -1.0f, 0, 5, 360, 250, 540, 100, 80, 80);
    m_backdrop->CreatePatch("hall.png", -1.0f, 0, 3, 360, 250, 100, 100, 80, 80);
    Render();
    EXPECT_TRUE(Near(AtBackdrop(400, 290), WINDOW));
}
