#pragma once

#include <OgreGpuProgram.h>
#include <OgreTexture.h>

#include <string>

namespace Ogre
{
class Pass;
}

// What effects set on a pass of a material that data supplies, where the data may lack what they set.

// Sets the named constant of the pass's program of that type. False, and nothing set, when the pass has
// no such program or the program has no constant of that name (OGRE would throw; a GLSL compiler may also
// have dropped a uniform its program does not use), so that data naming a constant a program lacks can be
// logged and skipped.
bool SetProgramConstant(Ogre::Pass& pass, Ogre::GpuProgramType type, const std::string& name, float value);
bool SetProgramConstant(Ogre::Pass& pass, Ogre::GpuProgramType type, const std::string& name,
                        const Ogre::Vector3& value);
bool SetProgramConstant(Ogre::Pass& pass, Ogre::GpuProgramType type, const std::string& name,
                        const Ogre::Vector4& value);
bool SetProgramConstant(Ogre::Pass& pass, Ogre::GpuProgramType type, const std::string& name,
                        const Ogre::Matrix4& value);

// Shows the texture on the pass's texture layer of that index (counted from 0); false, changing nothing, when
// the pass has no such layer.
bool SetLayerTexture(Ogre::Pass& pass, unsigned short layer, const std::string& texture);
bool SetLayerTexture(Ogre::Pass& pass, unsigned short layer, const Ogre::TexturePtr& texture);
