#include "platform/particles/ParticleSystem.h"

#include "platform/GameRand.h"
#include "platform/particles/ParticleSystemManager.h"
#include "platform/particles/ParticleTechnique.h"
#include "support/LogCapture.h"
#include "support/TestWindow.h"

#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreViewport.h>
#include <gtest/gtest.h>

#include <memory>

namespace
{
using particles::ParticleSystem;

bool IsRed(const TestWindow::Colour& colour)
{
    return colour.r > 200 && colour.g < 40 && colour.b < 40;
}

// One big red particle in the middle of a 160 x 120 window.
class DrawnParticles : public testing::Test
{
protected:
    void SetUp() override
    {
        platform::UseGameRandForOgre();
        platform::GameSrand(1);
        m_manager = std::make_unique<particles::ParticleSystemManager>();
        m_manager->parseScript(R"(system Red
{
    technique
    {
        quota 1
        size 200 200
        emitter Point still
        {
            rate 10
            life 100
            velocity 0
            colour 1 0 0
        }
    }
})",
                               "red.psys");
        m_system = m_manager->createParticleSystem("red", "Red", &m_window.SceneManager());
        ASSERT_NE(m_system, nullptr);
        m_window.SceneManager().getRootSceneNode()->attachObject(m_system);
        m_system->start();
        m_system->_update(0.5f);
    }
    void TearDown() override { m_manager.reset(); }

    LogCapture m_log;
    TestWindow m_window{160, 120};
    std::unique_ptr<particles::ParticleSystemManager> m_manager;
    ParticleSystem* m_system = nullptr;
};

TEST_F(DrawnParticles, AParticleIsDrawnAsAQuadOfItsColour)
{
    m_window.Render();
    EXPECT_TRUE(IsRed(m_window.At(80, 60)));
    EXPECT_FALSE(IsRed(m_window.At(2, 2)));
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_ERROR), 0u);
}

TEST_F(DrawnParticles, AViewportSeesTheSystemOnlyWhenTheirFlagsMeet)
{
    const struct
    {
        uint32_t systemFlags;
        uint32_t viewportMask;
        bool seen;
    } cases[] = {
        {1, 2, false}, {1, 1, true}, {1 | 2, 2, true}, {1 | 4, 2, false}, {1 | 2 | 4, 4, true},
    };
    for (const auto& c : cases)
    {
        m_system->setVisibilityFlags(c.systemFlags);
        m_window.Viewport().setVisibilityMask(c.viewportMask);
        m_window.Render();
        EXPECT_EQ(IsRed(m_window.At(80, 60)), c.seen) << c.systemFlags << " seen through " << c.viewportMask;
    }
}

TEST_F(DrawnParticles, ASystemShownWhileEmptyIsSeenOnceItHasParticles)
{
    // As a scene shows its effects: hung on a node that stays where it is, drawn before they start.
    Ogre::SceneManager& scene = m_window.SceneManager();
    m_manager->destroyParticleSystem(m_system, &scene);
    m_system = m_manager->createParticleSystem("later", "Red", &scene);
    scene.getRootSceneNode()->createChildSceneNode()->attachObject(m_system);
    m_window.Render();
    EXPECT_FALSE(IsRed(m_window.At(80, 60)));
    m_system->start();
    m_system->_update(0.5f);
    m_window.Render();
    EXPECT_TRUE(IsRed(m_window.At(80, 60)));
}

TEST_F(DrawnParticles, AMaterialOgreLacksIsLoggedAndDrawnPlain)
{
    m_system->getTechnique(0)->setMaterialName("No/Such/Material");
    m_window.Render();
    EXPECT_TRUE(m_log.Contains("The particle material 'No/Such/Material' of 'red' does not exist",
                               cl_Logger::LEVEL_ERROR));
    EXPECT_TRUE(IsRed(m_window.At(80, 60)));
}
TEST_F(DrawnParticles, ADrawnSystemAndItsNodeMayGoInEitherOrder)
{
    Ogre::SceneManager& scene = m_window.SceneManager();
    scene.getRootSceneNode()->detachObject(m_system);
    Ogre::SceneNode* node = scene.getRootSceneNode()->createChildSceneNode("holder");
    node->attachObject(m_system);
    m_window.Render();
    scene.destroySceneNode(node);
    EXPECT_EQ(m_system->getParentSceneNode(), nullptr);
    m_window.Render();
    EXPECT_FALSE(IsRed(m_window.At(80, 60)));

    scene.getRootSceneNode()->attachObject(m_system);
    m_window.Render();
    EXPECT_TRUE(IsRed(m_window.At(80, 60)));
    m_manager->destroyParticleSystem(m_system, &scene);
    EXPECT_EQ(scene.getRootSceneNode()->numAttachedObjects(), 0u);
    m_window.Render();
    EXPECT_FALSE(IsRed(m_window.At(80, 60)));
}
} // namespace
