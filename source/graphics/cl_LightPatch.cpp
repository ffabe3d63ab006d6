#include "graphics/cl_LightPatch.h"

#include "common/LogCall.h"

#include <OgreTextureUnitState.h>

cl_LightPatch::cl_LightPatch(cl_Backdrop& backdrop, float width, float height)
    : cl_Patch(backdrop, width, height)
{
}

void cl_LightPatch::SetColor(const Ogre::ColourValue& colour)
{
    m_colour = colour;
    UpdateMaterial();
}

void cl_LightPatch::UpdateMaterial()
{
    const Ogre::MaterialPtr material = GetMaterial();
    if (!IsOwnMaterial(material))
        return;
    if (m_lightMode == LIGHT_ADD)
        material->setSceneBlending(Ogre::SBF_SOURCE_ALPHA, Ogre::SBF_ONE);
    else if (m_lightMode == LIGHT_DARKEN)
        material->setSceneBlending(Ogre::SBF_SOURCE_ALPHA, Ogre::SBF_ONE_MINUS_SOURCE_ALPHA);
    else
        LOG_ERROR("Unknown Lightpatch-Mode!");
    ApplyDepth(material);
    material->setAmbient(m_colour);
    material->setDiffuse(m_colour);
    if (Ogre::TextureUnitState* unit = FirstTextureUnit(material, true))
    {
        unit->setColourOperationEx(Ogre::LBX_MODULATE, Ogre::LBS_TEXTURE, Ogre::LBS_MANUAL,
                                   Ogre::ColourValue::White, m_colour);
        unit->setAlphaOperation(Ogre::LBX_MODULATE, Ogre::LBS_TEXTURE, Ogre::LBS_MANUAL, 1.0f, m_alpha);
    }
}
