#include "graphics/cl_LightStateActivator.h"

#include "graphics/cl_VisualStateHolder.h"
#include "support/BackdropWorld.h"
#include "support/VisualStatesText.h"

#include <OgreLight.h>
#include <OgreSceneManager.h>
#include <gtest/gtest.h>

namespace
{
TEST(LightStates, AMissingLightSkipsOnlyItsEntry)
{
    BackdropWorld world;
    Ogre::Light* lamp = world.ogre.SceneManager().createLight("lamp");
    Ogre::Light* sun = world.ogre.SceneManager().createLight("sun");
    sun->setVisible(false);
    cl_VisualStateHolder holder;
    ReadVisualStates(holder, R"(<visualstates><visualstate name="night">
        <light name="torch" enabled="true"/><light name="sun" enabled="true"/><light name="lamp"/>
        <light name="" enabled="true"/>
    </visualstate></visualstates>)");
    EXPECT_TRUE(world.log.Contains("Could not load an lightstate in vs 'night',", cl_Logger::LEVEL_ERROR));
    holder.SetVisualState("night");
    EXPECT_TRUE(world.log.Contains("Light 'torch' could not be found.", cl_Logger::LEVEL_ERROR));
    EXPECT_TRUE(sun->isVisible());
    EXPECT_FALSE(lamp->isVisible()) << "no enabled: off";
}
} // namespace
