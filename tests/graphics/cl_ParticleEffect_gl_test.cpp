#include "graphics/cl_ParticleEffect.h"

#include "common/cl_LuaScriptSystem.h"
#include "graphics/cl_EffectManager.h"
#include "graphics/cl_EntityEmitterFactory.h"
#include "platform/GameRand.h"
#include "platform/particles/ParticleSystem.h"
#include "platform/particles/ParticleSystemManager.h"
#include "support/LogCapture.h"
#include "support/ManualGameTime.h"
#include "support/TestWindow.h"

#include <OgreResourceGroupManager.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <memory>

namespace
{
bool IsWarm(const TestWindow::Colour& colour)
{
    return colour.r > 90 && colour.r > colour.g + 20 && colour.g >= colour.b;
}

bool IsDark(const TestWindow::Colour& colour)
{
    return colour.r < 20 && colour.g < 20 && colour.b < 20;
}

// The demo's fire on a 200 x 150 window: its node at the origin, turned so that the hall's screen-up
// (-z, the view from above) points up the window.
TEST(DemoFire, BurnsInWarmColoursAboveItsNodeAndSwitchesOff)
{
    LogCapture log;
    TestWindow window(200, 150);
    platform::UseGameRandForOgre();
    platform::GameSrand(1);
    auto library = std::make_unique<particles::ParticleSystemManager>();
    library->addEmitterFactory(std::make_unique<cl_EntityEmitterFactory>());
    Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
    groups.addResourceLocation(QUILLMERE_BUILT_DEMO_DIR "data/common", "FileSystem", "GAMEDATA");
    groups.initialiseResourceGroup("GAMEDATA");
    Ogre::SceneNode* torch = window.SceneManager().getRootSceneNode()->createChildSceneNode("torch");
    torch->pitch(Ogre::Degree(90));
    window.SceneManager().getRootSceneNode()->createChildSceneNode("_game");

    cl_LuaScriptSystem script;
    ManualGameTime gameTime(script);
    cl_EffectManager effects(script);
    TiXmlDocument document;
    document.Parse(R"(<effects><effect id="fire" type="particle"><template>Demo/TorchFire</template>
                                   <parent>torch</parent></effect></effects>)");
    effects.LoadEffects(
        document.RootElement(), [](const std::string&) { return true; }, &window.SceneManager());
    for (int frame = 0; frame < 30; ++frame)
    {
        gameTime.Update(1.0f / 30.0f);
        static_cast<cl_ParticleEffect*>(effects.FindEffect("fire"))
            ->GetParticleSystem()
            ->_update(1.0f / 30.0f);
    }
    window.Render();
    // The camera at 500 with 45 degrees sees 414 units across 150 pixels: the flame's 20 units rise over
    // about seven pixels above the middle.
    EXPECT_TRUE(IsWarm(window.At(100, 70)));
    EXPECT_TRUE(IsDark(window.At(100, 110)));
    EXPECT_TRUE(IsDark(window.At(20, 20)));
    EXPECT_EQ(log.Count(cl_Logger::LEVEL_ERROR), 0u);

    effects.FindEffect("fire")->SetActive(false);
    for (int frame = 0; frame < 30; ++frame)
        static_cast<cl_ParticleEffect*>(effects.FindEffect("fire"))
            ->GetParticleSystem()
            ->_update(1.0f / 30.0f);
    window.Render();
    EXPECT_TRUE(IsDark(window.At(100, 70)));
    effects.UnloadEffects(document.RootElement());
}
} // namespace
