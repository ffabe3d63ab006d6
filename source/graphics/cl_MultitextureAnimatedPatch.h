#pragma once

#include "graphics/cl_AnimatedPatch.h"

#include <vector>

// An animated patch whose frames lie on several textures, a fixed number of frames on each: "torch.png"
// over three textures is torch0.png, torch1.png and torch2.png. Each texture has a material of the
// patch's own; the pane shows the material of the current frame's texture.
class cl_MultitextureAnimatedPatch : public cl_AnimatedPatch
{
public:
    cl_MultitextureAnimatedPatch(cl_Backdrop& backdrop, float width, float height);

    // Makes and loads one material for each of count textures: the texture name split at its first dot
    // around the number. The frame materials made before are no longer shown.
    void CreateFrameMaterials(const std::string& textureName, int count);
    // How many frames each texture holds; 0 (at first) shows the first texture only.
    void SetFramesPerTexture(int frames) { m_framesPerTexture = frames; }
    int GetFramesPerTexture() const { return m_framesPerTexture; }
    size_t GetFrameMaterialCount() const { return m_frameMaterials.size(); }

    // The pane takes the material of the current frame's texture; a frame before the first or past the
    // last texture shows the first.
    void SelectFrameMaterial();
    // The current frame's material (selected first).
    Ogre::MaterialPtr GetMaterial() override;
    // Blending and depth settings on every frame material; the alpha value takes no part.
    void UpdateMaterial() override;
    // Selects the frame's material and moves its texture to the frame's cell.
    void ApplyFrame() override;

private:
    int m_framesPerTexture = 0;
    std::vector<Ogre::MaterialPtr> m_frameMaterials;
};
