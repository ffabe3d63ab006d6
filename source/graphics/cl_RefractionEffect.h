#pragma once

#include "graphics/SurfaceEffect.h"

#include <string>

namespace Ogre
{
class Pass;
}

// The effect "refraction": a water surface in a copy (id + "_mtrl") of a shader material, which gets what
// lies beneath the surface (texture id + "_Refraction", rendered by the camera id + "_RfrCam") and, with a
// `reflection` child, what it mirrors ("_Reflection" by "_RflCam", only objects with visibility flag 2).
// Both cameras see what the game camera sees, its backdrop's shift and zoom included, so that the water's
// programs read the textures at the game's screen positions.
class cl_RefractionEffect : public SurfaceEffect
{
public:
    static const char* const TYPE;

    explicit cl_RefractionEffect(const std::string& id);

protected:
    // Children `mesh`, `reflection` (present: also mirror, with the material
    // "Tarq/FresnelReflectionRefraction"; absent: "Tarq/SimpleRefraction"), `vsparam` and `psparam`
    // (attribute `name`, a real number as text: vertex and fragment program constants, in document
    // order), `tint` and `spec` (three numbers: "tintColour" and "specColour" with alpha 1; without them
    // (0, 0, 0, 0) and (1, 1, 1, 1)) and `renderqueue` (the surface's, 50 without). A constant or texture
    // layer the material lacks is logged and skipped.
    void Build(const TiXmlElement& element, Ogre::SceneNode& parent) override;
    std::string DescribeFiles(const TiXmlElement& element) const override;
    // Their place, orientation, field of view, aspect ratio and custom projection, clipped at the surface.
    void FollowGameCamera(const Ogre::Camera& game) override;

private:
    void SetLayers(Ogre::Pass& pass) const;
    void SetConstants(Ogre::Pass& pass, const TiXmlElement& element) const;
    // camera takes the game camera's view, clipped at clipPlane.
    static void CopyView(Ogre::Camera& camera, const Ogre::Camera& game, const Ogre::Plane& clipPlane);
};
