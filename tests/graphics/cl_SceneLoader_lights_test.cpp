#include "graphics/cl_SceneLoader.h"

#include "graphics/cl_Scene.h"
#include "support/SceneStandIns.h"
#include "support/SceneWorld.h"

#include <gtest/gtest.h>

#include <OgreLight.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <string>
#include <vector>

namespace
{
// Location A whose scene document holds the lights (and whatever else is given).
std::string Lights(const std::string& lights, const std::string& more = "",
                   const std::string& sceneChildren = "")
{
    return "<scene assetref=\"scenes_a\">" + sceneChildren + "<osmdata><lights>" + lights + "</lights>" +
           more + "</osmdata></scene>";
}

std::string Light(const std::string& name, const std::string& attributes = "type=\"omni\"",
                  const std::string& children = "")
{
    return "<light name=\"" + name + "\" " + attributes + ">" + children + "</light>";
}

class SceneLights : public testing::Test
{
protected:
    SceneLights() { MakeShadowMaterials(); }

    // The light masks of the scene's lights, in creation order.
    std::vector<uint32_t> Masks() const
    {
        std::vector<uint32_t> masks;
        for (const Ogre::Light* light : m_world.Scene().GetLights())
            masks.push_back(light->getLightMask());
        return masks;
    }
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const Ogre::Light* light : m_world.Scene().GetLights())
            names.push_back(light->getName());
        return names;
    }
    Ogre::Light& Get(const std::string& name) const { return *m_world.SceneManager().getLight(name); }

    SceneWorld m_world;
};
} // namespace

TEST_F(SceneLights, PlainLightsGetABitOfTheirOwnAndShadowLightsShareTheTopBit)
{
    const struct
    {
        const char* name;
        std::vector<std::string> lights;
        std::vector<uint32_t> masks;
    } cases[] = {
        {"a depth shadow light takes a bit all the same", {"a", "shadowlight_sun", "b"}, {1, 0x80000000u, 4}},
        {"an extended shadow light takes none", {"a", "slx_sun", "b"}, {1, 0x80000000u, 2}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        std::string lights;
        for (const std::string& light : c.lights)
            lights += Light(light);
        m_world.LoadScene(Lights(lights));
        EXPECT_EQ(Masks(), c.masks);
        m_world.UnloadScene();
    }
}

TEST_F(SceneLights, LightsPastTheThirtySecondLightNothingAndSaySo)
{
    std::string lights;
    for (int i = 1; i <= 33; ++i)
        lights += Light("lamp" + std::to_string(i));
    m_world.LoadScene(Lights(lights));
    const std::vector<uint32_t> masks = Masks();
    ASSERT_EQ(masks.size(), 33u);
    EXPECT_EQ(masks[31], 0x80000000u);
    EXPECT_EQ(masks[32], 0u);
    EXPECT_EQ(m_world.loader.GetLightBit(), 0u);
    EXPECT_TRUE(m_world.assets.log.Contains("Scene 'scenes_a', light 'lamp33': the scene has used up the "
                                            "light masks, so the light lights nothing.",
                                            cl_Logger::LEVEL_WARNING));
    EXPECT_FALSE(m_world.assets.log.Contains("light 'lamp32'"));
}

TEST_F(SceneLights, QualityThinsOutShadowLightsAndClampsShadowTextures)
{
    const std::string lights = Light("a") + Light("shadowlight_one") + Light("shadowlight_two") + Light("b");
    const std::string technique = R"(<shadowTechnique tex_size="4096" tex_count="4"/>)";
    const struct
    {
        int level;
        std::vector<std::string> made;
        int size;
        int count;
        Ogre::ShadowTechnique shadows;
    } cases[] = {
        {cl_SceneLoader::QUALITY_LOW, {"a", "b"}, 1024, 0, Ogre::SHADOWTYPE_NONE},
        {cl_SceneLoader::QUALITY_MID,
         {"a", "shadowlight_one", "b"},
         1024,
         2,
         Ogre::SHADOWTYPE_TEXTURE_ADDITIVE_INTEGRATED},
        {cl_SceneLoader::QUALITY_HIGH,
         {"a", "shadowlight_one", "shadowlight_two", "b"},
         2048,
         4,
         Ogre::SHADOWTYPE_TEXTURE_ADDITIVE_INTEGRATED},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.level);
        m_world.LoadScene(Lights(lights, technique), c.level);
        EXPECT_EQ(Names(), c.made);
        EXPECT_EQ(m_world.loader.GetShadowTextureSize(), c.size);
        EXPECT_EQ(m_world.loader.GetShadowTextureCount(), c.count);
        EXPECT_EQ(m_world.SceneManager().getShadowTechnique(), c.shadows);
        m_world.UnloadScene();
        EXPECT_EQ(m_world.SceneManager().getShadowTechnique(), Ogre::SHADOWTYPE_NONE);
    }
}

TEST_F(SceneLights, AConstraintOfALightsNameOverridesTheQualityRule)
{
    const std::string constraints = R"(<quality><constraint name="shadowlight_one" min="0" max="0"/>
        <constraint name="b" min="1" max="2"/></quality>)";
    m_world.LoadScene(Lights(Light("shadowlight_one") + Light("b"), "", constraints),
                      cl_SceneLoader::QUALITY_LOW);
    EXPECT_EQ(Names(), std::vector<std::string>{"shadowlight_one"});
    EXPECT_EQ(m_world.loader.GetLightBit(), 4u) << "a light left out still takes its bit";
    m_world.UnloadScene();
    m_world.LoadScene(Lights("<spot name=\"shadowlight_one\" type=\"omni\"/>"), cl_SceneLoader::QUALITY_LOW);
    EXPECT_EQ(Names(), std::vector<std::string>{"shadowlight_one"})
        << "only a `light` element knows the rule";
}

TEST_F(SceneLights, SmallShadowTexturesStayAndNoTexturesMeanNoShadows)
{
    const struct
    {
        const char* technique;
        int level;
        int size;
        int count;
        Ogre::ShadowTechnique shadows;
    } cases[] = {
        {R"(<shadowTechnique tex_size="512" tex_count="1"/>)", 2, 512, 1,
         Ogre::SHADOWTYPE_TEXTURE_ADDITIVE_INTEGRATED},
        {R"(<shadowTechnique tex_size="1024" tex_count="0"/>)", 2, 1024, 0, Ogre::SHADOWTYPE_NONE},
        {R"(<shadowTechnique tex_size="many" tex_count="1"/>)", 2, 0, 1, Ogre::SHADOWTYPE_NONE},
        {"", 2, 0, 0, Ogre::SHADOWTYPE_NONE},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.technique);
        m_world.LoadScene(Lights(Light("shadowlight_sun"), c.technique), c.level);
        EXPECT_EQ(m_world.loader.GetShadowTextureSize(), c.size);
        EXPECT_EQ(m_world.loader.GetShadowTextureCount(), c.count);
        EXPECT_EQ(m_world.SceneManager().getShadowTechnique(), c.shadows);
        m_world.UnloadScene();
    }
    EXPECT_TRUE(m_world.assets.log.Contains(
        "Scene 'scenes_a': shadow textures of size 0 cannot be made; no shadows.", cl_Logger::LEVEL_ERROR));
}

TEST_F(SceneLights, ShadowsOfBothTechniquesAtOnceAreRefused)
{
    const std::string technique = R"(<shadowTechnique tex_size="1024" tex_count="1"/>)";
    m_world.LoadScene(Lights(Light("shadowlight_sun"), "<entities><entity name=\"smx_wall\" filename=\"" +
                                                           SceneWorld::Mesh("flat.mesh") + "\"/></entities>" +
                                                           technique));
    EXPECT_TRUE(m_world.assets.log.Contains("Mix of old and new shadow technique not supported!",
                                            cl_Logger::LEVEL_ERROR));
    EXPECT_EQ(m_world.SceneManager().getShadowTechnique(), Ogre::SHADOWTYPE_NONE);
    m_world.UnloadScene();

    m_world.LoadScene(Lights(Light("slx_sun"), technique));
    EXPECT_EQ(m_world.SceneManager().getShadowTechnique(), Ogre::SHADOWTYPE_TEXTURE_ADDITIVE_INTEGRATED);
    EXPECT_EQ(m_world.SceneManager().getShadowTextureConfigList().front().format, Ogre::PF_FLOAT32_R);
    EXPECT_FALSE(m_world.SceneManager().getShadowTextureSelfShadow());
}

TEST_F(SceneLights, ALightTakesItsTypeSwitchColoursAttenuationTargetAndCookie)
{
    m_world.textures.AddTexture("window.png", 8, 8);
    m_world.LoadScene(Lights(
        Light("spot", R"(type="Spot" hotspot="20" falloff="40" on="TRUE")", R"(<color r="1" g="0.5" b="0"/>
            <specular r="0" g="0" b="1" a="0.5"/><attenuation range="300" constant="1" linear="0.5" quadratic="0.25"/>
            <position x="0" y="100" z="0"/><target name="spot_target"><position x="10" y="0" z="0"/></target>
            <cookie texture="window.png"/>)") +
        Light("sun", R"(type="directional")") + Light("moon", R"(type="moonlight" on="yes")") +
        Light("shadowlight_sun", R"(type="omni" on="true")")));
    const Ogre::Light& spot = Get("spot");
    EXPECT_EQ(spot.getType(), Ogre::Light::LT_SPOTLIGHT);
    EXPECT_FLOAT_EQ(spot.getSpotlightInnerAngle().valueDegrees(), 20.0f);
    EXPECT_FLOAT_EQ(spot.getSpotlightOuterAngle().valueDegrees(), 40.0f);
    EXPECT_EQ(spot.getSpotlightFalloff(), 1.0f);
    EXPECT_TRUE(spot.getVisible()) << "on is read without regard to case";
    EXPECT_FALSE(spot.getCastShadows());
    EXPECT_EQ(spot.getDiffuseColour(), Ogre::ColourValue(1, 0.5f, 0));
    EXPECT_EQ(spot.getSpecularColour(), Ogre::ColourValue(0, 0, 1, 0.5f));
    EXPECT_EQ(spot.getAttenuationRange(), 300.0f);
    EXPECT_EQ(spot.getAttenuationConstant(), 1.0f);
    EXPECT_EQ(spot.getAttenuationLinear(), 0.5f);
    EXPECT_EQ(spot.getAttenuationQuadric(), 0.25f);
    const Ogre::SceneNode* node = spot.getParentSceneNode();
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->getName(), "spot");
    EXPECT_EQ(node->getAutoTrackTarget(), m_world.SceneManager().getSceneNode("spot_target"));
    EXPECT_EQ(node->getAutoTrackLocalDirection(), Ogre::Vector3::NEGATIVE_UNIT_Z);
    EXPECT_EQ(Ogre::any_cast<std::string>(spot.getUserObjectBindings().getUserAny()), "window.png");

    EXPECT_EQ(Get("sun").getType(), Ogre::Light::LT_DIRECTIONAL);
    EXPECT_FALSE(Get("sun").getVisible()) << "without on a light is off";
    EXPECT_EQ(Get("moon").getType(), Ogre::Light::LT_POINT) << "another word leaves OGRE's point light";
    EXPECT_FALSE(Get("moon").getVisible());
    EXPECT_TRUE(Get("shadowlight_sun").getCastShadows());
    EXPECT_TRUE(m_world.loader.HasDepthShadows());
    for (const LogCapture::Line& line : m_world.assets.log.Lines())
        EXPECT_EQ(line.text.find("Scene 'scenes_a'"), std::string::npos) << line.text;

    m_world.UnloadScene();
    EXPECT_FALSE(m_world.SceneManager().hasLight("spot"));
    EXPECT_TRUE(m_world.Scene().GetLights().empty());
}

TEST_F(SceneLights, AMalformedLightIsLeftOutNamingSceneAndLight)
{
    const struct
    {
        std::string light;
        const char* logged;
    } cases[] = {
        {Light("spot", R"(type="spot" hotspot="20")"),
         "Scene 'scenes_a', light 'spot': 'falloff' is missing; left out."},
        {Light("lamp", ""), "Scene 'scenes_a', light 'lamp': 'type' is missing; left out."},
        {Light("lamp", R"(type="omni")", R"(<attenuation range="1" constant="1"/>)"),
         "Scene 'scenes_a', light 'lamp': its attenuation needs the numbers range, constant, linear and "
         "quadratic"},
        {Light("lamp", R"(type="omni")", R"(<cookie texture="nowhere.png"/>)"),
         "Scene 'scenes_a', light 'lamp': its cookie 'nowhere.png' is no texture of the game."},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.light);
        m_world.assets.log.Clear();
        m_world.LoadScene(Lights(c.light + Light("after")));
        EXPECT_TRUE(m_world.assets.log.Contains(c.logged, cl_Logger::LEVEL_ERROR));
        EXPECT_TRUE(m_world.SceneManager().hasLight("after"));
        m_world.UnloadScene();
    }
}
