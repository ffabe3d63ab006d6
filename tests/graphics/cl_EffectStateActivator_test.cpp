#include "graphics/cl_EffectStateActivator.h"

#include "graphics/cl_VisualStateHolder.h"
#include "platform/particles/ParticleSystem.h"
#include "support/EffectWorld.h"
#include "support/VisualStatesText.h"

#include <gtest/gtest.h>

namespace
{
TEST(EffectStates, EffectsAreSwitchedOnlyWhenTheirStateDiffersAndAMissingOneStopsTheRest)
{
    EffectWorld world;
    world.Load(R"(<effects><effect id="fire" type="particle"><template>fire</template></effect>
                           <effect id="ember" type="particle" enabled="false"><template>fire</template></effect>
                           <effect id="ash" type="particle"><template>fire</template></effect></effects>)");
    cl_VisualStateHolder holder;
    ReadVisualStates(holder, R"(<visualstates><visualstate name="out">
        <effect name="fire" enabled="true"/><effect name="ember" enabled="true"/>
        <effect name="smoke"/><effect name="ash"/>
    </visualstate></visualstates>)");
    holder.SetVisualState("out");
    // "fire" is active already: it is not started now, but waits for its start as loaded.
    EXPECT_EQ(world.System("fire")->getState(), particles::ParticleSystem::STOPPED);
    EXPECT_TRUE(world.effects.FindEffect("ember")->IsActive());
    EXPECT_EQ(world.System("ember")->getState(), particles::ParticleSystem::RUNNING);
    EXPECT_TRUE(
        world.log.Contains("The Effect with the id 'smoke' could not be found!", cl_Logger::LEVEL_ERROR));
    EXPECT_TRUE(world.effects.FindEffect("ash")->IsActive()) << "not reached";
}
} // namespace
