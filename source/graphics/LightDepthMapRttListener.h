#pragma once

#include <OgreRenderTargetListener.h>

#include <set>
#include <string>

class cl_LightShaft;

namespace Ogre
{
class Material;
class SceneManager;
} // namespace Ogre

// Prepares each rendering of a light shaft's depth texture: the shaft's parameters, its slices hidden,
// and the scene's entities' materials made ready for the scheme "LSD".
class LightDepthMapRttListener : public Ogre::RenderTargetListener
{
public:
    // Both must outlive it.
    LightDepthMapRttListener(Ogre::SceneManager& sceneManager, cl_LightShaft& lightShaft);

    // The shaft's light position and texture matrix, its slices hidden, every entity's materials prepared.
    void preRenderTargetUpdate(const Ogre::RenderTargetEvent& event) override;
    // The slices show again.
    void postRenderTargetUpdate(const Ogre::RenderTargetEvent& event) override;

    // A material's first technique of the scheme "LSD", when it has exactly one pass, gets the light's
    // position and distances; another number of passes gets nothing. A material without such a
    // technique gets an empty one, so that it draws nothing into the depth texture. A parameter the
    // pass's fragment program lacks is logged once per material and skipped.
    void PrepareMaterial(Ogre::Material& material);

private:
    Ogre::SceneManager& m_sceneManager;
    cl_LightShaft& m_lightShaft;
    // Materials whose "LSD" pass lacks a parameter, logged already.
    std::set<std::string> m_reported;
};
