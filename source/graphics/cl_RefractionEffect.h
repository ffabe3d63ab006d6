#pragma once

#include "graphics/cl_BaseEffect.h"

#include <OgrePlane.h>
#include <OgreRenderTargetListener.h>

#include <memory>
#include <string>

class EffectRenderTarget;

namespace Ogre
{
class Camera;
class Entity;
class Material;
class Pass;
class SceneNode;
} // namespace Ogre

// The effect "refraction": a water surface. Its mesh hangs on the effect's parent node, in a copy
// (id + "_mtrl") of a shader material that gets, every frame while the effect is on, what lies beneath
// the surface (texture id + "_Refraction", seen by the camera id + "_RfrCam") and, with a `reflection`
// child, what the surface mirrors ("_Reflection", camera "_RflCam", only objects with visibility flag 2).
// Both cameras see what the game camera sees, its backdrop's shift and zoom included, cut off at the
// surface: the plane through the parent node, normal its Y axis. The entity is named id + "_Ent".
class cl_RefractionEffect : public cl_BaseEffect, public Ogre::RenderTargetListener
{
public:
    static const char* const TYPE;

    explicit cl_RefractionEffect(const std::string& id);
    // Unloads.
    ~cl_RefractionEffect() override;

    // Children `parent` (as the reflection effect's), `mesh`, `reflection` (present: also mirror, with the
    // material "Tarq/FresnelReflectionRefraction"; absent: "Tarq/SimpleRefraction"), `vsparam` and
    // `psparam` (attribute `name`, a real number as text: vertex and fragment program constants, in
    // document order), `tint` and `spec` (three numbers: "tintColour" and "specColour" with alpha 1; without
    // them (0, 0, 0, 0) and (1, 1, 1, 1)) and `renderqueue` (the surface's, 50 without). A mesh or material
    // OGRE cannot load is logged, naming the effect and the files, and the effect stays empty; a constant
    // or texture layer the material lacks is logged and skipped.
    void LoadFromXml(const TiXmlElement& element, Ogre::SceneManager* sceneManager) override;
    // Removes every engine object the effect made, each once.
    void Unload() override;
    // Renders the textures and shows the surface, or neither.
    void SetEnabled(bool enabled) override;

    // The cameras take the game camera's view; the surface hides, so it is not seen in its own textures.
    void preRenderTargetUpdate(const Ogre::RenderTargetEvent& event) override;
    // The surface shows again.
    void postRenderTargetUpdate(const Ogre::RenderTargetEvent& event) override;

private:
    // Makes the engine objects; throws Ogre::Exception where OGRE cannot.
    void Build(const TiXmlElement& element, Ogre::SceneNode& parent, const Ogre::Material& base);
    void SetLayers(Ogre::Pass& pass) const;
    void SetConstants(Ogre::Pass& pass, const TiXmlElement& element) const;
    // camera takes the game camera's place, field of view, aspect ratio and custom projection, clipped at
    // clipPlane.
    static void CopyView(Ogre::Camera& camera, const Ogre::Camera& game, const Ogre::Plane& clipPlane);

    Ogre::SceneManager* m_sceneManager = nullptr;
    Ogre::Entity* m_entity = nullptr;
    Ogre::Camera* m_reflectionCamera = nullptr;
    Ogre::Camera* m_refractionCamera = nullptr;
    std::unique_ptr<EffectRenderTarget> m_reflectionTarget;
    std::unique_ptr<EffectRenderTarget> m_refractionTarget;
    // Empty when none was made.
    std::string m_materialName;
    // The surface, facing up out of the water; the refraction camera keeps what lies on its other side.
    Ogre::Plane m_plane;
};
