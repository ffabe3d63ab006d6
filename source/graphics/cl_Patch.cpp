#include "graphics/cl_Patch.h"

#include "common/LogCall.h"
#include "common/OgreResources.h"
#include "common/cl_FloatSource.h"
#include "graphics/cl_Backdrop.h"
#include "graphics/cl_TexturePane.h"

#include <OgreMaterialManager.h>
#include <OgrePass.h>
#include <OgreResourceGroupManager.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreTechnique.h>
#include <OgreTextureUnitState.h>

namespace
{
// The suffix that makes a texture name a material name: its extension with the dot.
const size_t EXTENSION_LENGTH = 4;
} // namespace

cl_Patch::cl_Patch(cl_Backdrop& backdrop, float width, float height)
    : m_backdrop(backdrop), m_size(width, height), m_pane(std::make_unique<cl_TexturePane>(width, height))
{
    m_node = m_backdrop.GetRootNode()->createChildSceneNode();
    m_node->attachObject(m_pane.get());
    UpdatePosition();
}

cl_Patch::~cl_Patch()
{
    m_node->detachObject(m_pane.get());
    m_pane.reset();
    m_node->getCreator()->destroySceneNode(m_node);
    // Each patch made its materials for itself: a backdrop built again makes them anew.
    for (const Ogre::MaterialPtr& material : m_ownMaterials)
        Ogre::MaterialManager::getSingleton().remove(material);
}

void cl_Patch::SetTexture(const std::string& textureName)
{
    if (const Ogre::MaterialPtr material = CreateMaterial(textureName))
        ShowMaterial(material);
    UpdateMaterial();
}

Ogre::MaterialPtr cl_Patch::CreateMaterial(const std::string& textureName)
{
    const std::string base = textureName.size() > EXTENSION_LENGTH
                                 ? textureName.substr(0, textureName.size() - EXTENSION_LENGTH)
                                 : "";
    if (base.empty())
    {
        LOG_WARNING(
            "Backdrop '%s': the texture name '%s' gives no material name; the patch keeps its material.",
            m_backdrop.GetName().c_str(), textureName.c_str());
        return Ogre::MaterialPtr();
    }
    std::string name = base;
    for (int number = 2; MaterialExists(name); ++number)
        name = base + std::to_string(number);

    Ogre::MaterialPtr material = Ogre::MaterialManager::getSingleton().create(name, "General");
    Ogre::Pass* pass = material->getTechnique(0)->getPass(0);
    pass->setLightingEnabled(false);
    material->setLightingEnabled(false);
    material->setReceiveShadows(false);
    material->setFog(true, Ogre::FOG_NONE, Ogre::ColourValue::White, 0.001f, 0.0f, 1.0f);
    Ogre::TextureUnitState* unit = pass->createTextureUnitState();
    unit->setTextureAddressingMode(Ogre::TextureUnitState::TAM_CLAMP);
    unit->setTextureName(textureName, Ogre::TEX_TYPE_2D);
    m_ownMaterials.push_back(material);
    return material;
}

bool cl_Patch::SetAlphaSource(const std::string& name)
{
    m_alphaSource.Bind(name);
    return m_alphaSource.Get() != nullptr;
}

void cl_Patch::Update(float)
{
    if (const cl_FloatSource* source = m_alphaSource.Get())
    {
        m_alpha = source->GetValue();
        UpdateMaterial();
    }
}

void cl_Patch::SetPosition(float x, float y)
{
    m_position = Ogre::Vector2(x, y);
    UpdatePosition();
}

void cl_Patch::SetTextureRect(float left, float top, float width, float height)
{
    const Ogre::Vector2 size = GetTextureSize();
    m_pane->SetRect(left / size.x, top / size.y, (left + width) / size.x, (top + height) / size.y);
}

void cl_Patch::Refresh()
{
    UpdatePosition();
}

Ogre::MaterialPtr cl_Patch::GetMaterial()
{
    return m_pane->getMaterial();
}

void cl_Patch::UpdatePosition()
{
    const Ogre::SceneNode* plane = m_backdrop.GetPlaneNode();
    if (!plane)
        return;
    const Ogre::Vector3 eye = m_backdrop.GetEyePosition();
    const Ogre::Vector3 toPoint = m_backdrop.BackdropToWorld(m_position.x, m_position.y) - eye;
    const float length = toPoint.length();
    const float distance = m_cameraDistance + (m_distanceMode == 1 ? length : 0.0f);
    // A point at the eye itself has no ray to move along: the patch stays there.
    const float k = length > 0.0f ? distance / length : 1.0f;
    m_node->setScale(plane->getScale() * k);
    m_node->setPosition(eye + toPoint * k);
    m_node->setOrientation(plane->getOrientation());
}

void cl_Patch::UpdateMaterial()
{
    const Ogre::MaterialPtr material = GetMaterial();
    if (!IsOwnMaterial(material))
        return;
    ApplyBlendingAndDepth(material, m_manualAlpha || m_alpha < 1.0f);
    if (Ogre::TextureUnitState* unit = FirstTextureUnit(material, false))
    {
        if (m_alpha >= 1.0f)
            unit->setAlphaOperation(Ogre::LBX_SOURCE1, Ogre::LBS_TEXTURE, Ogre::LBS_CURRENT, 1.0f, 1.0f);
        else
            unit->setAlphaOperation(Ogre::LBX_MODULATE, Ogre::LBS_MANUAL, Ogre::LBS_TEXTURE, m_alpha, 1.0f);
    }
}

Ogre::Vector2 cl_Patch::GetTextureSize()
{
    const Ogre::MaterialPtr material = GetMaterial();
    const Ogre::TextureUnitState* unit = nullptr;
    if (material && LoadMaterial(material))
        unit = FirstTextureUnit(material, true);
    const Ogre::TexturePtr texture =
        unit && unit->getNumFrames() > 0 ? unit->_getTexturePtr() : Ogre::TexturePtr();
    if (texture && texture->getWidth() > 0 && texture->getHeight() > 0)
        return Ogre::Vector2(static_cast<float>(texture->getWidth()),
                             static_cast<float>(texture->getHeight()));
    if (!m_warnedTextureSize)
    {
        LOG_WARNING(
            "Backdrop '%s': the patch's material '%s' has no texture of some size; it counts as 1 x 1 "
            "texel.",
            m_backdrop.GetName().c_str(), material ? material->getName().c_str() : "");
        m_warnedTextureSize = true;
    }
    return Ogre::Vector2(1.0f, 1.0f);
}

void cl_Patch::Show()
{
    m_pane->setVisible(true);
}

void cl_Patch::Hide()
{
    m_pane->setVisible(false);
}

bool cl_Patch::IsVisible() const
{
    return m_pane->getVisible();
}

void cl_Patch::SetSize(float width, float height)
{
    m_size = Ogre::Vector2(width, height);
}

void cl_Patch::SetTexelScale(float x, float y)
{
    m_texelScale = Ogre::Vector2(x, y);
}

Ogre::TextureUnitState* cl_Patch::FirstTextureUnit(const Ogre::MaterialPtr& material, bool best)
{
    Ogre::Technique* technique = nullptr;
    if (material && best)
        technique = material->getBestTechnique();
    // A material that OGRE could not compile for the render system has no best technique: its first.
    if (material && !technique && material->getNumTechniques() > 0)
        technique = material->getTechnique(0);
    Ogre::Pass* pass = technique && technique->getNumPasses() > 0 ? technique->getPass(0) : nullptr;
    return pass && pass->getNumTextureUnitStates() > 0 ? pass->getTextureUnitState(0) : nullptr;
}

bool cl_Patch::IsOwnMaterial(const Ogre::MaterialPtr& material) const
{
    if (!material)
        return false;
    for (const Ogre::MaterialPtr& own : m_ownMaterials)
    {
        if (own == material)
            return true;
    }
    return false;
}

void cl_Patch::ApplyBlendingAndDepth(const Ogre::MaterialPtr& material, bool blendByAlpha) const
{
    material->setSceneBlending(blendByAlpha ? Ogre::SBT_TRANSPARENT_ALPHA : Ogre::SBT_REPLACE);
    ApplyDepth(material);
}

void cl_Patch::ApplyDepth(const Ogre::MaterialPtr& material) const
{
    material->setDepthWriteEnabled(m_depthWrite);
    material->setDepthCheckEnabled(m_depthCheck);
}

void cl_Patch::ShowMaterial(const Ogre::MaterialPtr& material)
{
    if (LoadMaterial(material))
        m_pane->setMaterial(material);
}

bool cl_Patch::LoadMaterial(const Ogre::MaterialPtr& material) const
{
    try
    {
        material->load();
        return true;
    }
    catch (const Ogre::Exception& exception)
    {
        LOG_WARNING("Backdrop '%s': the material '%s' does not load: %s", m_backdrop.GetName().c_str(),
                    material->getName().c_str(), exception.getDescription().c_str());
        return false;
    }
}
