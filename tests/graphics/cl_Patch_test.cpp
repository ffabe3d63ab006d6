#include "graphics/cl_Patch.h"

#include "common/cl_StaticFloat.h"
#include "graphics/cl_Backdrop.h"
#include "graphics/cl_TexturePane.h"
#include "support/BackdropWorld.h"

#include <gtest/gtest.h>

#include <OgreHardwareVertexBuffer.h>
#include <OgreMaterialManager.h>
#include <OgrePass.h>
#include <OgreResourceGroupManager.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreTechnique.h>
#include <OgreTextureUnitState.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
Ogre::Pass& FirstPass(const Ogre::MaterialPtr& material)
{
    return *material->getTechnique(0)->getPass(0);
}

Ogre::TextureUnitState& FirstUnit(const Ogre::MaterialPtr& material)
{
    return *FirstPass(material).getTextureUnitState(0);
}

std::vector<float> TextureCoordinates(const cl_Patch& patch)
{
    Ogre::RenderOperation operation;
    patch.GetPane().getRenderOperation(operation);
    const Ogre::HardwareVertexBufferSharedPtr& buffer =
        operation.vertexData->vertexBufferBinding->getBuffer(1);
    std::vector<float> values(8);
    buffer->readData(0, sizeof(float) * values.size(), values.data());
    return values;
}

// A backdrop set up for the world's scene camera, with patches made right on it.
class Patch : public testing::Test
{
protected:
    cl_Patch& Add(const std::string& texture, float width = 100.0f, float height = 50.0f)
    {
        m_patches.push_back(std::make_unique<cl_Patch>(m_backdrop, width, height));
        if (!texture.empty())
            m_patches.back()->SetTexture(texture);
        return *m_patches.back();
    }

    BackdropWorld m_world;
    cl_Backdrop& m_backdrop = m_world.AddBackdrop("hall");
    std::vector<std::unique_ptr<cl_Patch>> m_patches;
};
} // namespace

TEST_F(Patch, EachPatchMakesAMaterialOfItsOwnNamedAfterItsTexture)
{
    Ogre::ResourceGroupManager::getSingleton().createResourceGroup("Elsewhere");
    Ogre::MaterialManager::getSingleton().create("door", "Elsewhere");

    EXPECT_EQ(Add("wall.png").GetMaterial()->getName(), "wall");
    EXPECT_EQ(Add("wall.png").GetMaterial()->getName(), "wall2");
    EXPECT_EQ(Add("wall.png").GetMaterial()->getName(), "wall3");
    // A name taken in any group counts.
    EXPECT_EQ(Add("door.png").GetMaterial()->getName(), "door2");
}

TEST_F(Patch, ItsMaterialShowsTheTextureUnlitUnfoggedAndClamped)
{
    const Ogre::MaterialPtr material = Add("wall.png").GetMaterial();
    EXPECT_EQ(material->getGroup(), "General");
    EXPECT_FALSE(material->getReceiveShadows());
    const Ogre::Pass& pass = FirstPass(material);
    EXPECT_FALSE(pass.getLightingEnabled());
    EXPECT_TRUE(pass.getFogOverride());
    EXPECT_EQ(pass.getFogMode(), Ogre::FOG_NONE);
    ASSERT_EQ(pass.getNumTextureUnitStates(), 1u);
    const Ogre::TextureUnitState& unit = FirstUnit(material);
    EXPECT_EQ(unit.getTextureName(), "wall.png");
    EXPECT_EQ(unit.getTextureAddressingMode().u, Ogre::TAM_CLAMP);
    EXPECT_EQ(unit.getTextureAddressingMode().v, Ogre::TAM_CLAMP);
}

TEST_F(Patch, ATextureNameThatGivesNoMaterialNameKeepsTheSharedMaterialUntouched)
{
    const Ogre::MaterialPtr shared = Ogre::MaterialManager::getSingleton().getByName("BaseWhiteNoLighting");
    cl_Patch& patch = Add("a.b");
    patch.SetAlpha(0.5f);
    patch.SetDepthWrite(true);
    patch.UpdateMaterial();

    EXPECT_EQ(patch.GetMaterial(), shared);
    EXPECT_EQ(FirstPass(shared).getDestBlendFactor(), Ogre::SBF_ZERO);
    EXPECT_TRUE(m_world.log.Contains("Backdrop 'hall': the texture name 'a.b' gives no material name"));
}

TEST_F(Patch, BlendsByAlphaWhenAskedOrBelowOne)
{
    struct Case
    {
        const char* name;
        bool manualAlpha;
        float alpha;
        Ogre::SceneBlendFactor destination;
        Ogre::LayerBlendOperationEx alphaOperation;
    };
    const Case cases[] = {
        {"opaque", false, 1.0f, Ogre::SBF_ZERO, Ogre::LBX_SOURCE1},
        {"manual alpha at 1", true, 1.0f, Ogre::SBF_ONE_MINUS_SOURCE_ALPHA, Ogre::LBX_SOURCE1},
        {"half transparent", false, 0.5f, Ogre::SBF_ONE_MINUS_SOURCE_ALPHA, Ogre::LBX_MODULATE},
    };
    for (const Case& test : cases)
    {
        SCOPED_TRACE(test.name);
        cl_Patch& patch = Add("wall.png");
        patch.SetManualAlpha(test.manualAlpha);
        patch.SetAlpha(test.alpha);
        patch.SetDepthWrite(true);
        patch.SetDepthCheck(true);
        patch.UpdateMaterial();
        const Ogre::MaterialPtr material = patch.GetMaterial();
        EXPECT_EQ(FirstPass(material).getDestBlendFactor(), test.destination);
        EXPECT_TRUE(FirstPass(material).getDepthWriteEnabled());
        EXPECT_TRUE(FirstPass(material).getDepthCheckEnabled());
        const Ogre::LayerBlendModeEx& blend = FirstUnit(material).getAlphaBlendMode();
        EXPECT_EQ(blend.operation, test.alphaOperation);
        if (test.alphaOperation == Ogre::LBX_MODULATE)
        {
            EXPECT_EQ(blend.source1, Ogre::LBS_MANUAL);
            EXPECT_EQ(blend.alphaArg1, test.alpha);
        }
    }
}

TEST_F(Patch, LiesOnTheEyesRayAtItsCameraDistance)
{
    // The patch's point (400, 300) is the plane's centre (0, -500, 0), 1000 below the eye.
    struct Case
    {
        const char* name;
        int mode;
        float distance;
        Ogre::Vector3 position;
        float scale;
    };
    const Case cases[] = {
        {"in the plane", 1, 0.0f, Ogre::Vector3(0, -500, 0), 1.0f},
        {"behind the plane", 1, 100.0f, Ogre::Vector3(0, -600, 0), 1.1f},
        {"a quarter of the way", 0, 250.0f, Ogre::Vector3(0, 250, 0), 0.25f},
        {"collapsed onto the eye", 0, 0.0f, Ogre::Vector3(0, 500, 0), 0.0f},
    };
    for (const Case& test : cases)
    {
        SCOPED_TRACE(test.name);
        cl_Patch& patch = Add("");
        patch.SetDistanceMode(test.mode);
        patch.SetCameraDistance(test.distance);
        patch.SetPosition(400.0f, 300.0f);
        const Ogre::SceneNode& node = *patch.GetSceneNode();
        EXPECT_TRUE(node.getPosition().positionEquals(test.position, 1e-3f));
        EXPECT_TRUE(node.getScale().positionEquals(Ogre::Vector3(test.scale), 1e-5f));
        EXPECT_TRUE(node.getOrientation().equals(BackdropWorld::PLANE_ORIENTATION, Ogre::Radian(1e-5f)));
    }
}

TEST_F(Patch, CoversItsRectangleOfTheBackdrop)
{
    cl_Patch& patch = Add("", 100.0f, 50.0f);
    patch.SetPosition(120.0f, 80.0f);
    const Ogre::Affine3& toWorld = patch.GetSceneNode()->_getFullTransform();
    EXPECT_TRUE((toWorld * Ogre::Vector3::ZERO).positionEquals(m_backdrop.BackdropToWorld(120, 80), 1e-3f));
    EXPECT_TRUE(
        (toWorld * Ogre::Vector3(-100, -50, 0)).positionEquals(m_backdrop.BackdropToWorld(220, 130), 1e-3f));
}

TEST_F(Patch, ShowsItsTextureRectangleInTexels)
{
    m_world.textures.AddTexture("sheet.png", 256, 128);
    cl_Patch& patch = Add("sheet.png");
    patch.SetTextureRect(64.0f, 32.0f, 128.0f, 64.0f);
    EXPECT_EQ(TextureCoordinates(patch),
              (std::vector<float>{0.25f, 0.25f, 0.25f, 0.75f, 0.75f, 0.25f, 0.75f, 0.75f}));
}

TEST_F(Patch, ATextureOfNoSizeCountsAsOneTexelWithOneWarning)
{
    m_world.textures.AddTexture("empty.png", 0, 0);
    cl_Patch& patch = Add("empty.png");
    patch.SetTextureRect(0.0f, 0.0f, 2.0f, 3.0f);
    patch.SetTextureRect(0.0f, 0.0f, 2.0f, 3.0f);
    EXPECT_EQ(TextureCoordinates(patch), (std::vector<float>{0, 0, 0, 3, 2, 0, 2, 3}));
    size_t warnings = 0;
    for (const LogCapture::Line& line : m_world.log.Lines())
        warnings += line.text.find("Backdrop 'hall': the patch's material 'empty' has no texture") == 0;
    EXPECT_EQ(warnings, 1u);
}

TEST_F(Patch, TakesItsAlphaFromItsSourceUntilTheSourceGoes)
{
    auto fade = std::make_unique<cl_StaticFloat>(1.0f);
    cl_StaticFloat& source = *fade;
    m_world.valueSources.AddFloatSource("fade", std::move(fade));
    cl_Patch& patch = Add("wall.png");
    EXPECT_FALSE(patch.SetAlphaSource("nothing"));
    ASSERT_TRUE(patch.SetAlphaSource("fade"));

    source.SetCurrentValue(0.25f);
    patch.Update(0.1f);
    EXPECT_EQ(patch.GetAlpha(), 0.25f);
    EXPECT_EQ(FirstUnit(patch.GetMaterial()).getAlphaBlendMode().alphaArg1, 0.25f);

    m_world.valueSources.RemoveFloatSource(&source);
    patch.Update(0.1f);
    EXPECT_EQ(patch.GetAlpha(), 0.25f);
}

TEST_F(Patch, HidesAndShows)
{
    cl_Patch& patch = Add("wall.png");
    EXPECT_TRUE(patch.IsVisible());
    patch.Hide();
    EXPECT_FALSE(patch.IsVisible());
    patch.Show();
    EXPECT_TRUE(patch.IsVisible());
}

TEST_F(Patch, LeavesNoNodeOrMaterialBehind)
{
    {
        cl_Patch patch(m_backdrop, 10.0f, 10.0f);
        patch.SetTexture("wall.png");
        patch.SetTexture("wall.png");
        EXPECT_EQ(m_backdrop.GetRootNode()->numChildren(), 1u);
    }
    EXPECT_EQ(m_backdrop.GetRootNode()->numChildren(), 0u);
    EXPECT_FALSE(Ogre::MaterialManager::getSingleton().resourceExists("wall", "General"));
    EXPECT_FALSE(Ogre::MaterialManager::getSingleton().resourceExists("wall2", "General"));
}
