#pragma once

#include "graphics/cl_BaseEffect.h"

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

// The effect "reflection": a mirror. Its mesh hangs on the effect's parent node; a camera mirrored in
// the plane through that node (normal: the node's Y axis) renders, every frame while the effect is on,
// what the mirror shows into the texture id + "_RflTex", and the mesh's material id + "_RflMat" lays that
// texture, projected from the mirror camera, over the effect's picture. Only objects whose visibility
// flags hold 2 are mirrored. Engine objects are named after the id: entity "_Ent", camera "_RflCam".
class cl_ReflectionEffect : public cl_BaseEffect, public Ogre::RenderTargetListener
{
public:
    static const char* const TYPE;

    explicit cl_ReflectionEffect(const std::string& id);
    // Unloads.
    ~cl_ReflectionEffect() override;

    // Children `parent` (the node, "_game" without one; one the scene lacks is logged and "_game" taken),
    // `mesh` (the mirror's mesh) and `texture` (its picture, whose size the render texture takes);
    // attributes `near`, `far`, `fov` (degrees) set the mirror camera's clip distances and field of view
    // when present (5.0, 1000.0 and 60 when they are no number). A mesh or picture OGRE cannot load is
    // logged, naming the effect and the files, and the effect stays empty.
    void LoadFromXml(const TiXmlElement& element, Ogre::SceneManager* sceneManager) override;
    // Removes every engine object the effect made, each once.
    void Unload() override;
    // Renders the mirror's texture and shows the mirror, or neither.
    void SetEnabled(bool enabled) override;

    // The mirror camera takes the game camera's place and the mirror hides, so it does not mirror itself.
    void preRenderTargetUpdate(const Ogre::RenderTargetEvent& event) override;
    // The mirror shows again.
    void postRenderTargetUpdate(const Ogre::RenderTargetEvent& event) override;

private:
    // Makes the engine objects; throws Ogre::Exception where OGRE cannot.
    void Build(const TiXmlElement& element, Ogre::SceneNode& parent);
    void CreateMaterial(const std::string& picture);

    Ogre::SceneManager* m_sceneManager = nullptr;
    Ogre::Entity* m_entity = nullptr;
    Ogre::Camera* m_camera = nullptr;
    std::unique_ptr<EffectRenderTarget> m_renderTarget;
    // Empty when none was made.
    std::string m_materialName;
};
