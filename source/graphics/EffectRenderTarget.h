#pragma once

#include <OgrePixelFormat.h>
#include <OgreTexture.h>

#include <string>

namespace Ogre
{
class Camera;
class RenderTarget;
class RenderTargetListener;
class Viewport;
} // namespace Ogre

// A render texture that an effect's camera draws into every frame while it is active: a 2D texture in
// OGRE's group "General" without mipmaps, one viewport covering it whole that clears colour and depth
// every frame and draws no overlays, sky or shadows, and the effect as listener of its target. Going, it
// takes the viewport and the listener off the target, deactivates it and removes the texture.
class EffectRenderTarget
{
public:
    // camera and listener must outlive it. Throws Ogre::Exception when OGRE cannot make the texture (its
    // name is taken, there is no render system).
    EffectRenderTarget(const std::string& name, unsigned width, unsigned height, Ogre::PixelFormat format,
                       Ogre::Camera& camera, Ogre::RenderTargetListener& listener);
    ~EffectRenderTarget();
    EffectRenderTarget(const EffectRenderTarget&) = delete;
    EffectRenderTarget& operator=(const EffectRenderTarget&) = delete;

    const std::string& GetTextureName() const { return m_texture->getName(); }
    // For the materials that show it: by name, a material of another resource group would not find it.
    const Ogre::TexturePtr& GetTexture() const { return m_texture; }
    Ogre::RenderTarget& GetTarget() const { return *m_target; }
    Ogre::Viewport& GetViewport() const { return *m_viewport; }
    // Whether OGRE renders the target every frame.
    void SetActive(bool active);

private:
    Ogre::TexturePtr m_texture;
    Ogre::RenderTarget* m_target;
    Ogre::Viewport* m_viewport;
    Ogre::RenderTargetListener& m_listener;
};
