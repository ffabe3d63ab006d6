#pragma once

#include "graphics/cl_Patch.h"

#include <OgreColourValue.h>

// A patch that lights the picture under it (mode 0, added) or darkens it (mode 1, blended over it): its
// texture tinted by its colour and weighed by its alpha.
class cl_LightPatch : public cl_Patch
{
public:
    enum LightMode
    {
        LIGHT_ADD = 0,
        LIGHT_DARKEN = 1,
    };

    // White, mode 0, alpha 1, no alpha source.
    cl_LightPatch(cl_Backdrop& backdrop, float width, float height);

    void SetColor(const Ogre::ColourValue& colour);
    const Ogre::ColourValue& GetColor() const { return m_colour; }
    // Takes effect at the next UpdateMaterial.
    void SetLightMode(int mode) { m_lightMode = mode; }
    int GetLightMode() const { return m_lightMode; }

    // Blending by the light mode (another mode is logged and keeps the blending), the depth settings,
    // and the texture tinted by the colour and weighed by the alpha.
    void UpdateMaterial() override;

private:
    int m_lightMode = LIGHT_ADD;
    Ogre::ColourValue m_colour = Ogre::ColourValue::White;
};
