#include "graphics/cl_MultitextureAnimatedPatch.h"

#include "graphics/cl_TexturePane.h"

cl_MultitextureAnimatedPatch::cl_MultitextureAnimatedPatch(cl_Backdrop& backdrop, float width, float height)
    : cl_AnimatedPatch(backdrop, width, height)
{
}

void cl_MultitextureAnimatedPatch::CreateFrameMaterials(const std::string& textureName, int count)
{
    m_frameMaterials.clear();
    const size_t dot = textureName.find('.');
    const std::string base = textureName.substr(0, dot);
    const std::string extension = dot == std::string::npos ? std::string() : textureName.substr(dot);
    for (int index = 0; index < count; ++index)
    {
        const Ogre::MaterialPtr material = CreateMaterial(base + std::to_string(index) + extension);
        if (material && LoadMaterial(material))
            m_frameMaterials.push_back(material);
    }
    UpdateMaterial();
    ApplyFrame();
}

void cl_MultitextureAnimatedPatch::SelectFrameMaterial()
{
    if (m_frameMaterials.empty())
        return;
    size_t index = 0;
    if (m_currentFrame >= 0 && m_framesPerTexture > 0 &&
        static_cast<size_t>(m_currentFrame / m_framesPerTexture) < m_frameMaterials.size())
        index = static_cast<size_t>(m_currentFrame / m_framesPerTexture);
    if (m_pane->getMaterial() != m_frameMaterials[index])
        m_pane->setMaterial(m_frameMaterials[index]);
}

Ogre::MaterialPtr cl_MultitextureAnimatedPatch::GetMaterial()
{
    SelectFrameMaterial();
    return cl_AnimatedPatch::GetMaterial();
}

void cl_MultitextureAnimatedPatch::UpdateMaterial()
{
    for (const Ogre::MaterialPtr& material : m_frameMaterials)
        ApplyBlendingAndDepth(material, m_manualAlpha);
}

void cl_MultitextureAnimatedPatch::ApplyFrame()
{
    SelectFrameMaterial();
    if (m_currentFrame >= 0 && m_framesPerTexture > 0)
        ShowCell(m_currentFrame % m_framesPerTexture);
}
