#pragma once

#include "common/cl_FloatSourceLink.h"

#include <OgreMaterial.h>
#include <OgreVector.h>

#include <memory>
#include <string>
#include <vector>

namespace Ogre
{
class SceneNode;
class TextureUnitState;
} // namespace Ogre

class cl_Backdrop;
class cl_TexturePane;

// One flat, textured layer of a backdrop: a rectangle of a texture placed at a point of the backdrop
// (x to the right, y down, in backdrop units) with its own material, alpha, depth settings and
// render-queue group. The backdrop owns its patches and tells them each frame (Update) and after each
// change of its camera (Refresh).
class cl_Patch
{
public:
    // Creates the patch's node under the backdrop's root node (the backdrop must be initialised) and a
    // pane of width × height on it, and places it. backdrop must outlive the patch.
    cl_Patch(cl_Backdrop& backdrop, float width, float height);
    // Deletes the pane, destroys the node and removes the materials the patch made.
    virtual ~cl_Patch();
    cl_Patch(const cl_Patch&) = delete;
    cl_Patch& operator=(const cl_Patch&) = delete;

    // Shows the texture (a file name of an OGRE resource group) through a material of the patch's own.
    void SetTexture(const std::string& textureName);
    // A new material for the texture, named after it less its last four characters (the extension with
    // its dot): B, or B2, B3, ... when that name is taken. The patch owns it; a name that gives no
    // material name is logged and gives an empty pointer.
    Ogre::MaterialPtr CreateMaterial(const std::string& textureName);
    // The alpha follows the value source of that name every frame. False, and no source, when there is
    // no such source.
    bool SetAlphaSource(const std::string& name);

    // dt: the frame time in seconds. Takes the alpha of the alpha source, when there is one.
    virtual void Update(float dt);
    // Moves the patch's top left corner to (x, y) in backdrop units.
    virtual void SetPosition(float x, float y);
    // Shows the texture's rectangle of that left, top, width and height (in texels).
    virtual void SetTextureRect(float left, float top, float width, float height);
    // Places the patch anew after the backdrop's camera changed.
    virtual void Refresh();
    // The pane's material.
    virtual Ogre::MaterialPtr GetMaterial();
    // Places the node on the ray from the backdrop's eye through the patch's backdrop point (see
    // SetCameraDistance).
    virtual void UpdatePosition();
    // Writes blending, depth settings and alpha into the patch's own material; a material the patch did
    // not make (the pane's first, shared one) stays as it is.
    virtual void UpdateMaterial();

    // The pixel size of the material's first texture, the material loaded first. A material without a
    // texture of some size counts as 1 × 1, with one warning per patch.
    Ogre::Vector2 GetTextureSize();

    void Show();
    void Hide();
    bool IsVisible() const;

    // Written by the backdrop, which then calls UpdateMaterial or UpdatePosition itself.
    void SetDepthWrite(bool on) { m_depthWrite = on; }
    void SetDepthCheck(bool on) { m_depthCheck = on; }
    // With manual alpha the material always blends by alpha.
    void SetManualAlpha(bool on) { m_manualAlpha = on; }
    void SetAlpha(float alpha) { m_alpha = alpha; }
    // Distance mode 1 (the default) puts the patch at the backdrop point plus the camera distance along
    // the eye's ray; mode 0 at the camera distance from the eye, scaled to cover the same screen area.
    void SetCameraDistance(float distance) { m_cameraDistance = distance; }
    void SetDistanceMode(int mode) { m_distanceMode = mode; }
    // The shown texture region in texels, and its size divided by the quad's size.
    void SetSize(float width, float height);
    void SetTexelScale(float x, float y);

    bool GetDepthWrite() const { return m_depthWrite; }
    bool GetDepthCheck() const { return m_depthCheck; }
    bool GetManualAlpha() const { return m_manualAlpha; }
    float GetAlpha() const { return m_alpha; }
    const Ogre::Vector2& GetPosition() const { return m_position; }
    cl_TexturePane& GetPane() const { return *m_pane; }
    Ogre::SceneNode* GetSceneNode() const { return m_node; }

protected:
    // Texture unit 0 of pass 0 of the material's first (or best, when it has one) technique; null when
    // there is none.
    static Ogre::TextureUnitState* FirstTextureUnit(const Ogre::MaterialPtr& material, bool best);
    // Whether the patch made the material (only those are its to change).
    bool IsOwnMaterial(const Ogre::MaterialPtr& material) const;
    // Blending by alpha (else replacing) and the depth settings, on one of the patch's own materials.
    void ApplyBlendingAndDepth(const Ogre::MaterialPtr& material, bool blendByAlpha) const;
    void ApplyDepth(const Ogre::MaterialPtr& material) const;
    // Takes the material, loaded first, for the pane; one that does not load is logged and not taken.
    void ShowMaterial(const Ogre::MaterialPtr& material);
    // Loads the material; false, logged, when OGRE refuses.
    bool LoadMaterial(const Ogre::MaterialPtr& material) const;

    cl_Backdrop& m_backdrop;
    Ogre::Vector2 m_size;
    Ogre::Vector2 m_texelScale = Ogre::Vector2(1.0f, 1.0f);
    std::unique_ptr<cl_TexturePane> m_pane;
    bool m_depthWrite = false;
    bool m_depthCheck = false;
    bool m_manualAlpha = false;
    float m_alpha = 1.0f;
    cl_FloatSourceLink m_alphaSource;
    float m_cameraDistance = 0.0f;
    int m_distanceMode = 1;
    Ogre::Vector2 m_position = Ogre::Vector2::ZERO;
    Ogre::SceneNode* m_node = nullptr;

private:
    std::vector<Ogre::MaterialPtr> m_ownMaterials;
    bool m_warnedTextureSize = false;
};
