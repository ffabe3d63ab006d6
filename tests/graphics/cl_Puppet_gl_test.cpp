#include "graphics/cl_Puppet.h"

#include "common/XmlParse.h"
#include "graphics/PuppetPose.h"
#include "graphics/cl_PuppetAnimWeight.h"
#include "support/GlRenderSystem.h"
#include "support/LoadedLibraries.h"
#include "support/LogCapture.h"

#include <OgreCamera.h>
#include <OgreLogManager.h>
#include <OgreRenderWindow.h>
#include <OgreResourceGroupManager.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreViewport.h>
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace
{
using Ogre::Vector3;

// A part of the picture, in pixels.
struct Region
{
    int left;
    int top;
    int right;
    int bottom;
};

// The demo's hero in front of the camera of an 800 x 600 window, his model read from the chapter's
// characters.tdf as the game lays it out; the chapter's folder is the resource location.
class RenderedHero : public testing::Test
{
protected:
    void SetUp() override
    {
        m_logManager = std::make_unique<Ogre::LogManager>();
        m_logManager->createLog("hero.log", true, false, true);
        m_root = std::make_unique<Ogre::Root>("", "", "");
        UseGlRenderSystem(*m_root);
        m_root->getRenderSystem()->setConfigOption("Video Mode", "800 x 600");
        m_window = m_root->initialise(true, "hero");
        KeepLoadedLibraries();
        m_scene = m_root->createSceneManager();
        m_scene->setAmbientLight(Ogre::ColourValue::Black);
        m_camera = m_scene->createCamera("camera");
        m_camera->setNearClipDistance(1.0f);
        Ogre::SceneNode* eye = m_scene->getRootSceneNode()->createChildSceneNode(Vector3(0, 95, 400));
        eye->attachObject(m_camera);
        eye->lookAt(Vector3(0, 95, 0), Ogre::Node::TS_WORLD);
        m_window->addViewport(m_camera)->setBackgroundColour(Ogre::ColourValue(0.2f, 0.2f, 0.2f));

        Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
        groups.addResourceLocation(QUILLMERE_BUILT_DEMO_DIR "data/chapter1", "FileSystem", "CHAPTERDATA");
        groups.initialiseResourceGroup("CHAPTERDATA");

        TiXmlDocument characters;
        ASSERT_TRUE(LoadXmlFile(characters, QUILLMERE_BUILT_DEMO_DIR "data/chapter1/characters.tdf"));
        const TiXmlElement* hero = characters.RootElement()->FirstChildElement("character");
        ASSERT_STREQ(hero->Attribute("assetref"), "characters_hero");
        m_hero = std::make_unique<cl_Puppet>(*m_scene);
        ASSERT_TRUE(m_hero->FromXml(hero->FirstChildElement("puppet")));
        m_scene->getRootSceneNode()->addChild(m_hero->GetSceneNode());
        ASSERT_EQ(m_log.Count(cl_Logger::LEVEL_ERROR) + m_log.Count(cl_Logger::LEVEL_WARNING), 0u);
    }
    void TearDown() override
    {
        m_hero.reset();
        m_root.reset();
        m_logManager.reset();
    }

    // Sets the walk's clock, updates the puppet without time passing and renders; returns the picture.
    std::vector<unsigned char> Render(float walkTime)
    {
        m_hero->ResolveAnimPath("skeletal/walk/loop/straight_fast")->SetAnimationTimes(walkTime);
        m_hero->Update(0.0f);
        m_root->renderOneFrame();
        std::vector<unsigned char> pixels(800 * 600 * 3);
        m_window->copyContentsToMemory(Ogre::Box(0, 0, 800, 600),
                                       Ogre::PixelBox(800, 600, 1, Ogre::PF_BYTE_RGB, pixels.data()));
        return pixels;
    }
    // The pixels that the box of the figure's space covers on screen.
    Region Covering(const Vector3& low, const Vector3& high) const
    {
        const Ogre::Matrix4 projection = m_camera->getProjectionMatrix() * m_camera->getViewMatrix();
        const Vector3 a = projection * low;
        const Vector3 b = projection * high;
        const auto column = [](float x) { return static_cast<int>((x + 1.0f) * 400.0f); };
        const auto row = [](float y) { return static_cast<int>((1.0f - y) * 300.0f); };
        return {column(std::min(a.x, b.x)), row(std::max(a.y, b.y)), column(std::max(a.x, b.x)),
                row(std::min(a.y, b.y))};
    }
    // The mean difference of two pictures over a region, per colour channel (0 to 255).
    static double Difference(const std::vector<unsigned char>& one, const std::vector<unsigned char>& other,
                             const Region& region)
    {
        double sum = 0.0;
        int count = 0;
        for (int y = region.top; y < region.bottom; ++y)
        {
            for (int x = region.left; x < region.right; ++x)
            {
                for (int channel = 0; channel < 3; ++channel)
                {
                    const size_t at = static_cast<size_t>((y * 800 + x) * 3 + channel);
                    sum += std::abs(one[at] - other[at]);
                    ++count;
                }
            }
        }
        return sum / count;
    }
    static const unsigned char* Pixel(const std::vector<unsigned char>& picture, int x, int y)
    {
        return &picture[static_cast<size_t>((y * 800 + x) * 3)];
    }

    LogCapture m_log;
    std::unique_ptr<Ogre::LogManager> m_logManager;
    std::unique_ptr<Ogre::Root> m_root;
    Ogre::RenderWindow* m_window = nullptr;
    Ogre::SceneManager* m_scene = nullptr;
    Ogre::Camera* m_camera = nullptr;
    std::unique_ptr<cl_Puppet> m_hero;
};

TEST_F(RenderedHero, HisLegsMoveAsHeWalksAndHisMouthOpensWide)
{
    m_hero->ResolveAnimPath("skeletal/idle")->SetTarget(0.0f, 0.0f);
    m_hero->ResolveAnimPath("skeletal/walk/loop")->SetTarget(1.0f, 0.0f);
    const Region legs = Covering(Vector3(-20, 0, 0), Vector3(20, 86, 0));
    const Region head = Covering(Vector3(-12, 163, 0), Vector3(12, 190, 0));

    const std::vector<unsigned char> leftForward = Render(0.0f);
    const std::vector<unsigned char> rightForward = Render(0.5f);
    EXPECT_GT(Difference(leftForward, rightForward, legs), 10.0) << "the legs swing";
    EXPECT_LT(Difference(leftForward, rightForward, head), 1.0) << "the head stays where it was";

    m_hero->GetPose("mouth_wide")->SetWeight(1.0f, 0.0f);
    const std::vector<unsigned char> wide = Render(0.5f);
    EXPECT_GT(Difference(rightForward, wide, head), 1.0) << "the mouth opens";
    EXPECT_LT(Difference(rightForward, wide, legs), 0.5) << "the legs stay where they were";
}

TEST_F(RenderedHero, HisFrontAndBackShowInTheirColours)
{
    // The middle of his chest: red from the front, blue from behind.
    const Region chest = Covering(Vector3(0, 130, 0), Vector3(0, 130, 0));
    const std::vector<unsigned char> front = Render(0.0f);
    const unsigned char* facing = Pixel(front, chest.left, chest.top);
    EXPECT_GT(facing[0], 150) << "red";
    EXPECT_LT(facing[2], 100);

    m_hero->GetSceneNode()->yaw(Ogre::Degree(180));
    const std::vector<unsigned char> back = Render(0.0f);
    const unsigned char* turned = Pixel(back, chest.left, chest.top);
    EXPECT_LT(turned[0], 100);
    EXPECT_GT(turned[2], 150) << "blue";
}
} // namespace
