#include "graphics/cl_ShadowPane.h"

#include "support/LogCapture.h"
#include "support/TestWindow.h"

#include <OgreImage.h>
#include <OgreMaterial.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreTextureManager.h>
#include <OgreViewport.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace
{
const int GREY = 64;

// A white window with a pane filling its middle, facing the camera, and a plain grey picture.
class ShadowPane : public testing::Test
{
protected:
    ShadowPane()
    {
        m_window.Viewport().setBackgroundColour(Ogre::ColourValue::White);
        std::vector<uint8_t> grey(4 * 4 * 3, GREY);
        Ogre::Image image;
        image.loadDynamicImage(grey.data(), 4, 4, 1, Ogre::PF_BYTE_RGB);
        Ogre::TextureManager::getSingleton().loadImage("Test/Grey", "General", image);
        // The pane lies in its node's x-y plane, facing -z: turned to face the camera.
        Ogre::SceneNode* node = m_window.SceneManager().getRootSceneNode()->createChildSceneNode();
        node->yaw(Ogre::Degree(180));
        node->attachObject(&m_pane);
    }
    ~ShadowPane() override { m_pane.detachFromParent(); }
    TestWindow::Colour Middle()
    {
        m_window.Render();
        return m_window.At(40, 30);
    }

    LogCapture m_log;
    TestWindow m_window{80, 60};
    cl_ShadowPane m_pane{200.0f, 200.0f};
};

TEST_F(ShadowPane, ATexturedPaneShowsNothingUntilItsAlphaAndThenItsTextureByThatShare)
{
    m_pane.SetTexture("Test/Grey");
    EXPECT_EQ(Middle().r, 255) << "white until an alpha is set";
    m_pane.SetAlpha(1.0f);
    EXPECT_NEAR(Middle().r, GREY, 2);
    m_pane.SetAlpha(std::sqrt(0.5f));
    EXPECT_NEAR(Middle().g, (255 + GREY) / 2, 3) << "half the texture, half white";
    m_pane.SetAlpha(0.0f);
    EXPECT_EQ(Middle().b, 255);
    EXPECT_EQ(m_pane.getRenderQueueGroup(), 40);
    EXPECT_TRUE(m_log.Lines().empty());
}

TEST_F(ShadowPane, ItsColourIsClampedAndReachesTheScreenInTheRenderSystemsOrder)
{
    m_pane.SetTexture("Test/Grey");
    m_pane.SetAlpha(0.0f);
    const struct
    {
        float r, g, b;
        TestWindow::Colour expected;
    } cases[] = {
        {1.0f, 0.0f, 0.0f, {255, 0, 0}}, {0.0f, 0.0f, 1.0f, {0, 0, 255}}, {2.0f, -1.0f, 0.5f, {255, 0, 128}}};
    for (const auto& c : cases)
    {
        m_pane.SetColour(c.r, c.g, c.b, 1.0f);
        const TestWindow::Colour shown = Middle();
        EXPECT_NEAR(shown.r, c.expected.r, 2) << c.r << " " << c.g << " " << c.b;
        EXPECT_NEAR(shown.g, c.expected.g, 2) << c.r << " " << c.g << " " << c.b;
        EXPECT_NEAR(shown.b, c.expected.b, 2) << c.r << " " << c.g << " " << c.b;
    }
}

TEST_F(ShadowPane, EachPaneGetsAMaterialOfTheNextNumberAndKeepsIt)
{
    m_pane.SetTexture("Test/Grey");
    const std::string first = m_pane.getMaterial()->getName();
    ASSERT_EQ(first.rfind("blobshadowmat_", 0), 0u) << first;
    const int number = std::stoi(first.substr(14));
    m_pane.SetTexture("Test/Grey");
    EXPECT_EQ(m_pane.getMaterial()->getName(), first) << "a second texture keeps the material";

    cl_ShadowPane other(10.0f, 10.0f);
    other.SetTexture("Test/Grey");
    EXPECT_EQ(other.getMaterial()->getName(), "blobshadowmat_" + std::to_string(number + 1));
}
} // namespace
