#pragma once

#include "graphics/SurfaceEffect.h"

#include <string>

// The effect "reflection": a mirror. The reflection camera id + "_RflCam" renders what the surface
// mirrors into the texture id + "_RflTex", of the size of the effect's picture, and the surface's
// material id + "_RflMat" lays that texture, projected from the mirror camera, over the picture. Only
// objects whose visibility flags hold 2 are mirrored.
class cl_ReflectionEffect : public SurfaceEffect
{
public:
    static const char* const TYPE;

    explicit cl_ReflectionEffect(const std::string& id);

protected:
    // Children `mesh` (the surface) and `texture` (its picture); attributes `near`, `far`, `fov` (degrees)
    // set the mirror camera's clip distances and field of view when present (5.0, 1000.0 and 60 when
    // they are no number).
    void Build(const TiXmlElement& element, Ogre::SceneNode& parent) override;
    std::string DescribeFiles(const TiXmlElement& element) const override;
    // Its place and orientation.
    void FollowGameCamera(const Ogre::Camera& game) override;

private:
    Ogre::MaterialPtr CreateMaterial(const std::string& picture) const;
};
