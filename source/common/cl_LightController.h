#pragma once

#include "common/IFloatSourceListener.h"
#include "common/cl_Controller.h"

#include <OgreColourValue.h>

#include <string>

namespace Ogre
{
class Light;
}

// Scales a light's colours by a value source: whenever the source changes, the light's diffuse and
// specular colours become the colours it had when the controller was built, times the source's value.
class cl_LightController : public cl_Controller, public IFloatSourceListener
{
public:
    // light: not owned, may be null (the controller then changes nothing). Its colours now are the base.
    explicit cl_LightController(Ogre::Light* light);
    ~cl_LightController() override;

    // Follows the source of that name from the value-source manager instead of the one followed so far.
    // A name without a source (or no manager) leaves the controller unbound. The light changes only when
    // the source next changes.
    void SetFloatSource(const std::string& name);

    void OnValueChanged(cl_FloatSource* source, float oldValue, float newValue) override;
    void OnSourceDestroyed(cl_FloatSource* source) override;

private:
    Ogre::Light* m_light;
    float m_intensity = 0.0f;
    cl_FloatSource* m_source = nullptr;
    Ogre::ColourValue m_diffuse = Ogre::ColourValue::White;
    Ogre::ColourValue m_specular = Ogre::ColourValue::White;
};
