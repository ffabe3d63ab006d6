#include "platform/particles/ParticleScriptReader.h"

#include "platform/particles/CircleEmitter.h"
#include "platform/particles/ColourAffector.h"
#include "platform/particles/LinearForceAffector.h"
#include "platform/particles/ParticleSystem.h"
#include "platform/particles/ParticleSystemManager.h"
#include "platform/particles/ParticleTechnique.h"
#include "platform/particles/PointEmitter.h"
#include "support/HeadlessParticles.h"
#include "support/LogCapture.h"
#include "support/TemporaryFolder.h"

#include <OgreResourceGroupManager.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
using particles::ParticleEmitter;
using particles::ParticleSystem;
using particles::ParticleTechnique;
using particles::ScriptProperty;

class ParticleScripts : public testing::Test
{
protected:
    particles::ParticleSystemManager& Manager() const { return m_world.Manager(); }
    void Read(const std::string& text) const { Manager().parseScript(text, "test.psys"); }
    ParticleTechnique* TechniqueOf(const std::string& name) const
    {
        const ParticleSystem* system = Manager().getSystemTemplate(name);
        return system ? system->getTechnique(0) : nullptr;
    }

    LogCapture m_log;
    HeadlessParticles m_world;
};

TEST_F(ParticleScripts, ATemplateHoldsItsTechniqueEmittersAndAffectors)
{
    Read(R"(// torch fire
system Demo/Fire
{
    technique
    {
        material "Demo Flame"
        quota 50
        size 4 6
        emitter Point flame
        {
            rate 20
            angle 10
            life 1.5
            velocity 30
            direction 0 0 2
            colour 1 0.5 0.25
        }
        emitter Circle ring { radius 7
            auto_direction true }
        affector LinearForce
        {
            force 0 -9.8 0
        }
        affector Colour fade
        {
            time_colour 0 1 1 1 1
            time_colour 1 0 0 0 0
        }
    }
})");
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_ERROR), 0u);
    ParticleTechnique* technique = TechniqueOf("Demo/Fire");
    ASSERT_NE(technique, nullptr);
    EXPECT_EQ(technique->getMaterialName(), "Demo Flame");
    EXPECT_EQ(technique->getParticleQuota(), 50u);
    EXPECT_EQ(technique->getDefaultDimensions(), Ogre::Vector2(4, 6));
    ASSERT_EQ(technique->getNumEmitters(), 2u);
    ParticleEmitter* flame = technique->getEmitter("flame");
    ASSERT_NE(flame, nullptr);
    EXPECT_EQ(flame->getEmitterType(), "Point");
    EXPECT_EQ(flame->getEmissionRate().getValue(), 20.0f);
    EXPECT_EQ(flame->getAngle().getValue(), 10.0f);
    EXPECT_EQ(flame->getTimeToLive().getValue(), 1.5f);
    EXPECT_EQ(flame->getVelocity().getValue(), 30.0f);
    EXPECT_EQ(flame->getDirection(), Ogre::Vector3::UNIT_Z);
    EXPECT_EQ(flame->getColour(), Ogre::ColourValue(1, 0.5f, 0.25f, 1));
    auto* ring = dynamic_cast<particles::CircleEmitter*>(technique->getEmitter(1));
    ASSERT_NE(ring, nullptr);
    EXPECT_EQ(ring->getName(), "ring");
    EXPECT_EQ(ring->getRadius(), 7.0f);
    EXPECT_TRUE(ring->isAutoDirection());
    ASSERT_EQ(technique->getNumAffectors(), 2u);
    auto* force = dynamic_cast<particles::LinearForceAffector*>(technique->getAffector(0));
    ASSERT_NE(force, nullptr);
    EXPECT_EQ(force->getForce(), Ogre::Vector3(0, -9.8f, 0));
    EXPECT_EQ(technique->getAffector(1)->getAffectorType(), "Colour");
    EXPECT_EQ(technique->getAffector(1)->getName(), "fade");
}

TEST_F(ParticleScripts, ScriptsAreReadWhenOgreInitialisesTheirGroupAndReadAnewWithIt)
{
    TemporaryFolder folder;
    folder.WriteFile("smoke.psys", "system Smoke { technique { emitter Point puff { rate 3 } } }");
    folder.WriteFile("smoke.particle", "system NotOurs { technique { } }");
    Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
    groups.addResourceLocation(folder.Path().string(), "FileSystem", "PARTICLETEST");
    groups.initialiseResourceGroup("PARTICLETEST");
    EXPECT_NE(TechniqueOf("Smoke"), nullptr);
    EXPECT_EQ(Manager().getSystemTemplate("NotOurs"), nullptr);

    // The group made anew, as a chapter's is for each load, reads its templates as new ones.
    groups.destroyResourceGroup("PARTICLETEST");
    folder.WriteFile("smoke.psys", "system Smoke { technique { quota 9 } }");
    groups.addResourceLocation(folder.Path().string(), "FileSystem", "PARTICLETEST");
    groups.initialiseResourceGroup("PARTICLETEST");
    EXPECT_EQ(TechniqueOf("Smoke")->getParticleQuota(), 9u);
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_ERROR), 0u);
    // Another group's template of that name is one too many.
    TemporaryFolder other;
    other.WriteFile("more.psys", "system Smoke { technique { } }");
    groups.addResourceLocation(other.Path().string(), "FileSystem", "PARTICLEOTHER");
    groups.initialiseResourceGroup("PARTICLEOTHER");
    EXPECT_TRUE(m_log.Contains("more.psys(1): A particle system template named 'Smoke' exists already",
                               cl_Logger::LEVEL_ERROR));
    EXPECT_EQ(TechniqueOf("Smoke")->getParticleQuota(), 9u);
    groups.destroyResourceGroup("PARTICLEOTHER");
    groups.destroyResourceGroup("PARTICLETEST");
}

struct Mistake
{
    const char* what;
    const char* script;
    const char* message;
    // Whether the template "t" is kept, and how many emitters its first technique then has.
    bool kept;
    size_t emitters;
};

TEST_F(ParticleScripts, AMistakeIsLoggedWithItsLineAndTheRestIsRead)
{
    const Mistake mistakes[] = {
        {"unknown emitter type",
         "system t {\ntechnique {\nemitter Fountain a { rate 3 }\nemitter Point b\n}\n}",
         "test.psys(3): There is no particle emitter type 'Fountain'; the emitter is left out.", true, 1},
        {"emitter without name", "system t {\ntechnique {\nemitter Point\n}\n}",
         "test.psys(3): 'emitter' takes a type and a name", true, 0},
        {"value that is no number", "system t {\ntechnique {\nemitter Point a {\nrate fast\n}\n}\n}",
         "test.psys(4): 'rate' takes one number.", true, 1},
        {"unknown property", "system t {\ntechnique {\nemitter Point a {\nradius 4\n}\n}\n}",
         "test.psys(4): The particle emitter type 'Point' has no property 'radius'.", true, 1},
        {"unknown affector type", "system t {\ntechnique {\naffector Gravity\n}\n}",
         "test.psys(3): There is no particle affector type 'Gravity'", true, 0},
        {"huge quota", "system t {\ntechnique {\nquota 1000000\n}\n}",
         "test.psys(3): 'quota' takes a whole number up to 100000.", true, 0},
        {"block left open", "system t {\ntechnique {\nemitter Point a {\n}\n",
         "test.psys(1): The block of the particle system 't' is not closed; the system is left out.", false,
         0},
        {"quote left open", "system t {\ntechnique {\nmaterial \"Flame\n}\n}",
         "test.psys(3): A quoted value is not closed", true, 0},
        {"brace closing nothing", "}\nsystem t { technique { } }", "test.psys(1): A '}' closes no block.",
         true, 0},
        {"word outside a system", "technique { }\nsystem t { technique { } }",
         "test.psys(1): 'technique' here: a particle script holds blocks 'system <name> { ... }'.", true, 0},
        {"system without name", "system { technique { } }",
         "test.psys(1): 'system' here: a particle script holds blocks", false, 0},
        {"block without word", "system t { technique { { rate 2 } } }",
         "test.psys(1): A block has no word before it; it is left out.", true, 0},
        {"nesting too deep",
         "system t { technique { emitter Point a { b { c { d { e { f { g { } } } } } } } } }",
         "Blocks are nested too deep here", true, 1},
        {"property with a block", "system t {\ntechnique {\nquota 5 { }\n}\n}",
         "test.psys(3): 'quota' takes no block.", true, 0},
    };
    for (const Mistake& mistake : mistakes)
    {
        SCOPED_TRACE(mistake.what);
        m_log.Clear();
        Manager().destroyAllTemplates();
        Read(mistake.script);
        EXPECT_TRUE(m_log.Contains(mistake.message, cl_Logger::LEVEL_ERROR));
        const ParticleSystem* kept = Manager().getSystemTemplate("t");
        ASSERT_EQ(kept != nullptr, mistake.kept);
        if (kept && kept->getNumTechniques() > 0)
            EXPECT_EQ(kept->getTechnique(0)->getNumEmitters(), mistake.emitters);
    }
}

TEST_F(ParticleScripts, ASecondTemplateOfANameInUseIsLeftOut)
{
    Read("system t { technique { quota 7 } }\nsystem t { technique { quota 9 } }");
    EXPECT_TRUE(
        m_log.Contains("test.psys(2): A particle system template named 't' exists already; this one is "
                       "left out.",
                       cl_Logger::LEVEL_ERROR));
    EXPECT_EQ(TechniqueOf("t")->getParticleQuota(), 7u);
    EXPECT_EQ(Manager().createSystemTemplate("t"), nullptr);
}

// A kind of the program's own: it takes "spray" through its factory, as a plug-in's script words do.
class Sprinkler : public particles::PointEmitter
{
public:
    static const char* const TYPE;
    std::string spray;
};
const char* const Sprinkler::TYPE = "Sprinkler";

class SprinklerFactory : public particles::ParticleEmitterFactoryOf<Sprinkler>
{
public:
    std::unique_ptr<ParticleEmitter> createEmitter() override
    {
        auto emitter = ParticleEmitterFactoryOf<Sprinkler>::createEmitter();
        m_last = static_cast<Sprinkler*>(emitter.get());
        return emitter;
    }
    bool translateChildProperty(const ScriptProperty& property) override
    {
        m_seen->push_back(property.name);
        if (property.name != "spray")
            return false;
        return particles::ScriptTranslator::getString(property, m_last->spray);
    }

    std::vector<std::string>* m_seen = nullptr;

private:
    Sprinkler* m_last = nullptr;
};

TEST_F(ParticleScripts, ARegisteredFactoryBuildsItsTypeAndGetsTheWordsTheLibraryLacks)
{
    std::vector<std::string> seen;
    auto factory = std::make_unique<SprinklerFactory>();
    factory->m_seen = &seen;
    ASSERT_TRUE(Manager().addEmitterFactory(std::move(factory)));
    EXPECT_FALSE(Manager().addEmitterFactory(std::make_unique<SprinklerFactory>()));
    EXPECT_TRUE(
        m_log.Contains("The particle emitter type 'Sprinkler' has a factory already; the new one is dropped.",
                       cl_Logger::LEVEL_WARNING));

    Read("system lawn {\ntechnique {\nemitter Sprinkler s {\nrate 4\nspray fine\nsplash 3\n}\n}\n}");
    auto* sprinkler = dynamic_cast<Sprinkler*>(TechniqueOf("lawn")->getEmitter("s"));
    ASSERT_NE(sprinkler, nullptr);
    EXPECT_EQ(sprinkler->getEmitterType(), "Sprinkler");
    EXPECT_EQ(sprinkler->getEmissionRate().getValue(), 4.0f);
    EXPECT_EQ(sprinkler->spray, "fine");
    EXPECT_EQ(seen, (std::vector<std::string>{"spray", "splash"}));
    EXPECT_TRUE(
        m_log.Contains("test.psys(6): The particle emitter type 'Sprinkler' has no property 'splash'.",
                       cl_Logger::LEVEL_ERROR));
}
} // namespace
