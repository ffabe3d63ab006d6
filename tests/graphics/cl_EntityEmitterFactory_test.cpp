#include "graphics/cl_EntityEmitterFactory.h"

#include "platform/particles/ParticleSystem.h"
#include "platform/particles/ParticleSystemManager.h"
#include "platform/particles/ParticleTechnique.h"
#include "support/HeadlessParticles.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
class EntityEmitterScripts : public testing::Test
{
protected:
    EntityEmitterScripts()
    {
        m_world.Manager().addEmitterFactory(std::make_unique<cl_EntityEmitterFactory>());
    }

    // The emitter "e" of a template read from the lines inside its block.
    const cl_EntityEmitter& Read(const std::string& lines)
    {
        const std::string name = "t" + std::to_string(m_read++);
        m_world.Manager().parseScript(
            "system " + name + " {\ntechnique {\nemitter Entity e {\n" + lines + "}\n}\n}", "dust.psys");
        return static_cast<const cl_EntityEmitter&>(
            *m_world.Manager().getSystemTemplate(name)->getTechnique(0)->getEmitter("e"));
    }

    LogCapture m_log;
    HeadlessParticles m_world;
    int m_read = 0;
};

TEST_F(EntityEmitterScripts, TheEntityWordsSetTheEmitter)
{
    const cl_EntityEmitter& emitter = Read("entity_name door.leaf\nentity_scale 1 2 0.5\nrate 12\n");
    EXPECT_EQ(emitter.GetEntityName(), "door.leaf");
    EXPECT_EQ(emitter.GetScale(), Ogre::Vector3(1, 2, 0.5f));
    EXPECT_EQ(emitter.GetDistribution(), cl_EntityEmitter::DISTRIBUTION_HOMOGENEOUS);
    EXPECT_EQ(const_cast<cl_EntityEmitter&>(emitter).getEmissionRate().getValue(), 12.0f);
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_ERROR), 0u);
}

TEST_F(EntityEmitterScripts, EachDistributionWordHasItsNumberAndAnotherWordKeepsThePrevious)
{
    const struct
    {
        const char* lines;
        int distribution;
    } cases[] = {
        {"entity_distribution homogeneous\n", 0},
        {"entity_distribution heterogeneous_1\n", 1},
        {"entity_distribution heterogeneous_2\n", 2},
        {"entity_distribution vertex\n", 3},
        {"entity_distribution edge\n", 4},
        {"entity_distribution edge\nentity_distribution Edge\n", 4},
        {"entity_distribution vertex\nentity_distribution\n", 3},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Read(c.lines).GetDistribution(), c.distribution) << c.lines;
    EXPECT_TRUE(m_log.Contains("dust.psys(5): 'entity_distribution' takes homogeneous, heterogeneous_1, "
                               "heterogeneous_2, vertex or edge; the distribution stays.",
                               cl_Logger::LEVEL_ERROR));
}

TEST_F(EntityEmitterScripts, BadValuesAndUnknownWordsAreReported)
{
    const cl_EntityEmitter& emitter = Read("entity_name\nentity_scale 1 2\nentity_size 3\n");
    EXPECT_EQ(emitter.GetEntityName(), "");
    EXPECT_EQ(emitter.GetScale(), Ogre::Vector3::UNIT_SCALE);
    EXPECT_TRUE(m_log.Contains("dust.psys(4): 'entity_name' takes one name.", cl_Logger::LEVEL_ERROR));
    EXPECT_TRUE(m_log.Contains("dust.psys(5): 'entity_scale' takes three numbers.", cl_Logger::LEVEL_ERROR));
    EXPECT_TRUE(
        m_log.Contains("dust.psys(6): The particle emitter type 'Entity' has no property 'entity_size'.",
                       cl_Logger::LEVEL_ERROR));
}
} // namespace
