#include "graphics/cl_ShadowPane.h"

#include "common/LogCall.h"
#include "common/StringHelpers.h"
#include "graphics/QuadStrip.h"

#include <OgreException.h>
#include <OgreMaterialManager.h>
#include <OgrePass.h>
#include <OgreTechnique.h>
#include <OgreTextureManager.h>
#include <OgreTextureUnitState.h>

#include <algorithm>
#include <cstdint>

namespace
{
const size_t CORNERS = 4;
const char* const MATERIAL_PREFIX = "blobshadowmat_";
const uint8_t SHADOW_QUEUE = 40;
// Counts the materials of every pane of the run.
int s_materials = 0;

// The texture against the pane's colour, in the share alpha.
void SetBlend(Ogre::TextureUnitState& unit, float alpha)
{
    unit.setColourOperationEx(Ogre::LBX_BLEND_MANUAL, Ogre::LBS_TEXTURE, Ogre::LBS_CURRENT,
                              Ogre::ColourValue::White, Ogre::ColourValue::White, alpha);
}

Ogre::TextureUnitState* FirstLayer(Ogre::Material& material)
{
    // Without a render system no technique is supported, yet the first one still holds the layers.
    Ogre::Technique* technique = material.getBestTechnique();
    if (!technique && material.getNumTechniques() > 0)
        technique = material.getTechnique(0);
    if (!technique || technique->getNumPasses() == 0 || technique->getPass(0)->getNumTextureUnitStates() == 0)
        return nullptr;
    return technique->getPass(0)->getTextureUnitState(0);
}
} // namespace

cl_ShadowPane::cl_ShadowPane(float width, float height)
{
    SetUpQuadStrip(mRenderOp, true);
    const float coordinates[] = {0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 0.0f, 1.0f, 1.0f};
    WriteQuadStrip(mRenderOp, QUAD_TEXTURE_COORDINATES, coordinates, sizeof coordinates);
    SetSize(width, height);
    SetColour(1.0f, 1.0f, 1.0f, 1.0f);
}

cl_ShadowPane::~cl_ShadowPane()
{
    delete mRenderOp.vertexData;
}

void cl_ShadowPane::SetSize(float width, float height)
{
    m_width = width;
    m_height = height;
    const float x = width / 2.0f;
    const float y = height / 2.0f;
    const float positions[] = {x, y, 0.0f, x, -y, 0.0f, -x, y, 0.0f, -x, -y, 0.0f};
    WriteQuadStrip(mRenderOp, QUAD_POSITIONS, positions, sizeof positions);
    setBoundingBox(Ogre::AxisAlignedBox(-x, -y, 0.0f, x, y, 0.0f));
}

void cl_ShadowPane::SetColour(float r, float g, float b, float a)
{
    const auto clamped = [](float value) { return std::clamp(value, 0.0f, 1.0f); };
    const Ogre::ColourValue colour(clamped(r), clamped(g), clamped(b), clamped(a));
    const Ogre::VertexElementType type =
        mRenderOp.vertexData->vertexDeclaration->findElementBySemantic(Ogre::VES_DIFFUSE)->getType();
    const uint32_t packed = Ogre::VertexElement::convertColourValue(colour, type);
    const uint32_t colours[CORNERS] = {packed, packed, packed, packed};
    WriteQuadStrip(mRenderOp, QUAD_COLOURS, colours, sizeof colours);
}

Ogre::Material* cl_ShadowPane::CreateMaterial()
{
    Ogre::MaterialPtr material;
    try
    {
        material = Ogre::MaterialManager::getSingleton().create(
            Format("%s%i", MATERIAL_PREFIX, s_materials++),
            Ogre::ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME);
    }
    catch (const Ogre::Exception&)
    {
        // The name is taken: the caller reports that no material could be made.
        return nullptr;
    }
    Ogre::Pass* pass = material->getTechnique(0)->getPass(0);
    pass->createTextureUnitState();
    pass->setLightingEnabled(false);
    pass->setDepthWriteEnabled(false);
    pass->setSceneBlending(Ogre::SBT_MODULATE);
    material->setReceiveShadows(false);
    material->load();
    setMaterial(material);
    return material.get();
}

Ogre::Material* cl_ShadowPane::OwnMaterial() const
{
    Ogre::Material* material = mMaterial.get();
    return material && material->getName().rfind(MATERIAL_PREFIX, 0) == 0 ? material : nullptr;
}

void cl_ShadowPane::SetTexture(const std::string& textureName)
{
    if (!Ogre::TextureManager::getSingletonPtr())
    {
        LOG_WARNING("A shadow pane cannot show '%s' without a render system.", textureName.c_str());
        return;
    }
    Ogre::Material* material = OwnMaterial();
    if (!material)
        material = CreateMaterial();
    Ogre::TextureUnitState* layer = material ? FirstLayer(*material) : nullptr;
    if (!layer)
    {
        LOG_ERROR("ShadowBlob material could not be created!");
        return;
    }
    layer->setTextureName(textureName, Ogre::TEX_TYPE_2D);
    SetBlend(*layer, 0.0f);
    setRenderQueueGroup(SHADOW_QUEUE);
}

void cl_ShadowPane::SetAlpha(float alpha)
{
    const float square = alpha * alpha;
    m_alpha = square > 0.0f ? std::min(square, 1.0f) : 0.0f;
    if (Ogre::Material* material = OwnMaterial())
    {
        if (Ogre::TextureUnitState* layer = FirstLayer(*material))
            SetBlend(*layer, m_alpha);
    }
}
