#include "graphics/PassParameters.h"

#include <OgreGpuProgramParams.h>
#include <OgrePass.h>
#include <OgreTextureUnitState.h>

namespace
{
template <class Value>
bool SetIfDeclared(Ogre::Pass& pass, Ogre::GpuProgramType type, const std::string& name, const Value& value)
{
    if (!pass.hasGpuProgram(type))
        return false;
    const Ogre::GpuProgramParametersSharedPtr& parameters = pass.getGpuProgramParameters(type);
    if (!parameters || !parameters->_findNamedConstantDefinition(name, false))
        return false;
    parameters->setNamedConstant(name, value);
    return true;
}
} // namespace

bool SetProgramConstant(Ogre::Pass& pass, Ogre::GpuProgramType type, const std::string& name, float value)
{
    return SetIfDeclared(pass, type, name, value);
}

bool SetProgramConstant(Ogre::Pass& pass, Ogre::GpuProgramType type, const std::string& name,
                        const Ogre::Vector3& value)
{
    return SetIfDeclared(pass, type, name, value);
}

bool SetProgramConstant(Ogre::Pass& pass, Ogre::GpuProgramType type, const std::string& name,
                        const Ogre::Vector4& value)
{
    return SetIfDeclared(pass, type, name, value);
}

bool SetProgramConstant(Ogre::Pass& pass, Ogre::GpuProgramType type, const std::string& name,
                        const Ogre::Matrix4& value)
{
    return SetIfDeclared(pass, type, name, value);
}

bool SetLayerTexture(Ogre::Pass& pass, unsigned short layer, const std::string& texture)
{
    if (layer >= pass.getNumTextureUnitStates())
        return false;
    pass.getTextureUnitState(layer)->setTextureName(texture, Ogre::TEX_TYPE_2D);
    return true;
}

bool SetLayerTexture(Ogre::Pass& pass, unsigned short layer, const Ogre::TexturePtr& texture)
{
    if (layer >= pass.getNumTextureUnitStates())
        return false;
    pass.getTextureUnitState(layer)->setTexture(texture);
    return true;
}
