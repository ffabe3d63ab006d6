#pragma once

#include <OgreSimpleRenderable.h>

#include <string>

// The quad a blob shadow draws with: four vertices in a triangle strip, centred on its node in the node's
// x-y plane, with one colour for all of them. Its material multiplies the frame by a blend of its
// texture and that colour, so a white pane changes nothing and the texture shows as far as the pane's
// alpha says. The colour is packed as the render system reads vertex colours.
class cl_ShadowPane : public Ogre::SimpleRenderable
{
public:
    // width, height: the quad's size in its node's units. White, alpha 1, no texture yet.
    cl_ShadowPane(float width, float height);
    ~cl_ShadowPane() override;

    // Corners (w/2, h/2), (w/2, -h/2), (-w/2, h/2), (-w/2, -h/2), a bounding box around them.
    void SetSize(float width, float height);
    // Each component clamped to 0..1; the same colour for every vertex.
    void SetColour(float r, float g, float b, float a);
    // Shows the texture through the pane's own material "blobshadowmat_<n>" (n counts the materials of
    // every pane of the run, from 0), made at the first call and kept for later ones: multiplied into the
    // frame, drawn in render queue group 40, shown not at all (blend factor 0) until SetAlpha. Without a
    // render system (no textures) it only logs.
    void SetTexture(const std::string& textureName);
    // Stores the square of alpha, clamped to 0..1 (NaN counts as 0), and makes it the texture's share of
    // the pane's blend once the pane has its material.
    void SetAlpha(float alpha);
    float GetAlpha() const { return m_alpha; }

    Ogre::Real getBoundingRadius() const override { return 0.0f; }
    Ogre::Real getSquaredViewDepth(const Ogre::Camera*) const override { return 0.0f; }

private:
    // A new material of the next number, the pane's from now on; null when OGRE refuses it.
    Ogre::Material* CreateMaterial();
    // The material SetTexture made; null before.
    Ogre::Material* OwnMaterial() const;

    float m_width = 0.0f;
    float m_height = 0.0f;
    float m_alpha = 1.0f;
};
