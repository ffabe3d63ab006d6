#pragma once

#include "graphics/cl_BaseEffect.h"

#include <OgreMaterial.h>
#include <OgrePixelFormat.h>
#include <OgrePlane.h>
#include <OgreRenderTargetListener.h>

#include <memory>
#include <string>

class EffectRenderTarget;

namespace Ogre
{
class Camera;
class Entity;
class SceneNode;
} // namespace Ogre

// The family of the reflection and refraction effects: a mesh (the entity id + "_Ent") hanging on the
// effect's parent node, in a material of its own that shows what cameras render into textures every frame
// while the effect is on: the scene mirrored in the surface's plane (through the node, normal its Y axis),
// seen by the reflection camera, and what lies beyond the surface, seen by the refraction camera. The
// surface hides while a texture renders, so it does not show in its own textures.
class SurfaceEffect : public cl_BaseEffect, public Ogre::RenderTargetListener
{
public:
    // Unloads.
    ~SurfaceEffect() override;

    // Finds the parent node (the child `parent`, "_game" without one; one the scene lacks is logged and
    // "_game" taken) and builds the effect. What OGRE cannot make (a mesh, picture or material it cannot
    // load) is logged, naming the effect and its files, and the effect stays empty.
    void LoadFromXml(const TiXmlElement& element, Ogre::SceneManager* sceneManager) override;
    // Removes every engine object the effect made, each once.
    void Unload() override;
    // Renders the textures and shows the surface, or neither.
    void SetEnabled(bool enabled) override;

    // The cameras follow the game camera; the surface hides.
    void preRenderTargetUpdate(const Ogre::RenderTargetEvent& event) override;
    // The surface shows again.
    void postRenderTargetUpdate(const Ogre::RenderTargetEvent& event) override;

protected:
    SurfaceEffect(const std::string& type, const std::string& id);

    // Makes the effect's engine objects, the surface first; throws Ogre::Exception where OGRE cannot.
    virtual void Build(const TiXmlElement& element, Ogre::SceneNode& parent) = 0;
    // The files the effect is made of, as the message of an effect that cannot be made names them.
    virtual std::string DescribeFiles(const TiXmlElement& element) const = 0;
    // Before each rendering of a texture: the cameras take the game camera's view.
    virtual void FollowGameCamera(const Ogre::Camera& game) = 0;

    // The entity of the mesh on parent, never picked, and the surface's plane.
    void CreateSurface(const std::string& mesh, Ogre::SceneNode& parent);
    // The camera id + suffix, mirrored in the surface's plane or not, and clipped by it (keeping the far
    // side from the camera).
    Ogre::Camera* CreateCamera(const std::string& suffix, bool mirrored);
    // The render texture id + suffix, which camera renders, the effect listening.
    std::unique_ptr<EffectRenderTarget> CreateTarget(const std::string& suffix, unsigned width,
                                                     unsigned height, Ogre::PixelFormat format,
                                                     Ogre::Camera& camera);
    // The surface's own material (removed at Unload), given to the surface.
    void Dress(const Ogre::MaterialPtr& material);

    Ogre::SceneManager* m_sceneManager = nullptr;
    Ogre::Entity* m_entity = nullptr;
    Ogre::Camera* m_reflectionCamera = nullptr;
    Ogre::Camera* m_refractionCamera = nullptr;
    std::unique_ptr<EffectRenderTarget> m_reflectionTarget;
    std::unique_ptr<EffectRenderTarget> m_refractionTarget;
    // Null when none was made.
    Ogre::MaterialPtr m_material;
    // Facing up out of the surface.
    Ogre::Plane m_plane;
};
