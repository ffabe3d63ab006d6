#include "common/cl_FloatCosine.h"

#include <OgreMath.h>

float cl_FloatCosine::Wave(float radians) const
{
    return Ogre::Math::Cos(Ogre::Radian(radians), false);
}
