#include "common/cl_FloatSine.h"

#include <OgreMath.h>

float cl_FloatSine::Wave(float radians) const
{
    return Ogre::Math::Sin(Ogre::Radian(radians), false);
}
