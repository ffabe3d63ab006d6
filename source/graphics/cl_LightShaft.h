#pragma once

#include "graphics/cl_BaseEffect.h"

#include <OgreMaterial.h>
#include <OgreMatrix4.h>

#include <memory>
#include <string>

class EffectRenderTarget;
class LightDepthMapRttListener;

namespace Ogre
{
class BillboardSet;
class Camera;
class SceneNode;
} // namespace Ogre

// The effect "lightshaft": visible beams of light from a node. A light camera under the node, looking
// down its -Y axis, renders every frame the distance of what blocks the light into the texture
// "LightDepthMap" (through the materials' techniques of the scheme "LSD"); a stack of camera-facing slices
// through the light's frustum, drawn with the material "LightShafts", is lit where that texture shows
// nothing nearer. Its engine objects have fixed names ("LightCamera", "LightBillboardSet",
// "LightDepthMap"), so only one light shaft can exist at a time: another is refused.
class cl_LightShaft : public cl_BaseEffect
{
public:
    static const char* const TYPE;

    explicit cl_LightShaft(const std::string& id);
    // Unloads.
    ~cl_LightShaft() override;

    // Children `parent` (as the particle effect's) and `texture` (the light's picture, "lightshaft.png"
    // without one); attributes `near` and `far` (the distances the light reaches from and to, 10.0 and
    // 400.0), `angle` (its vertical field of view in degrees, 17.5) and `billboardcount` (the slices, 60;
    // none for 0 or less). Without the material "LightShafts", or while another light shaft exists, it
    // is logged and the effect stays empty.
    void LoadFromXml(const TiXmlElement& element, Ogre::SceneManager* sceneManager) override;
    // Removes every engine object the effect made, each once.
    void Unload() override;
    // Renders the depth texture and shows the slices, or neither.
    void SetEnabled(bool enabled) override;

    // Every frame, with the depth texture (a constant the material lacks is reported at loading only):
    // "uLightPosition" of "LightShafts", the light node's world position.
    void UpdateLightPosition();
    // "uTexViewProj" of "LightShafts": the light camera's view and projection, then x and y from -1..1 to
    // the texture's 0..1 (y downward).
    void UpdateTextureMatrix();
    void SetBillboardsVisible(bool visible);

    // Null while the effect is empty.
    Ogre::SceneNode* GetLightNode() const { return m_lightNode; }
    float GetNear() const { return m_near; }
    float GetFar() const { return m_far; }
    const Ogre::Matrix4& GetTextureMatrix() const { return m_texViewProj; }

private:
    // Makes the engine objects; throws Ogre::Exception where OGRE cannot.
    void Build(const TiXmlElement& element, Ogre::SceneNode& parent);
    void CreateBillboards(int count);
    // The light's near and far distances (for the slices and "LightShafts"); the light camera clips at 1.0
    // and far.
    void SetClipDistances(float nearDistance, float farDistance);

    Ogre::BillboardSet* m_billboards = nullptr;
    Ogre::Camera* m_camera = nullptr;
    Ogre::SceneNode* m_lightNode = nullptr;
    Ogre::SceneManager* m_sceneManager = nullptr;
    std::unique_ptr<LightDepthMapRttListener> m_rttListener;
    std::unique_ptr<EffectRenderTarget> m_depthMap;
    Ogre::MaterialPtr m_material;
    float m_near = 10.0f;
    float m_far = 400.0f;
    Ogre::Matrix4 m_texViewProj = Ogre::Matrix4::IDENTITY;
};
