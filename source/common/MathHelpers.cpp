#include "common/MathHelpers.h"

#include <OgreMath.h>

#include <cmath>

Ogre::Matrix4 MakeOrthoMatrix(float left, float right, float bottom, float top, float nearPlane,
                              float farPlane)
{
    if (left == right || bottom == top || nearPlane == farPlane)
        return Ogre::Matrix4::IDENTITY;
    Ogre::Matrix4 matrix = Ogre::Matrix4::ZERO;
    matrix[0][0] = 2.0f / (right - left);
    matrix[1][1] = 2.0f / (top - bottom);
    matrix[2][2] = -2.0f / (farPlane - nearPlane);
    matrix[3][3] = 1.0f;
    matrix[0][3] = -(left + right) / (right - left);
    matrix[1][3] = -(bottom + top) / (top - bottom);
    matrix[2][3] = -(nearPlane + farPlane) / (farPlane - nearPlane);
    return matrix;
}

Ogre::Matrix4 ClipNearByPlane(const Ogre::Matrix4& projection, const Ogre::Plane& plane)
{
    // Eric Lengyel's oblique near plane: the clip-space corner opposite the plane, taken back into view
    // space, fixes the scale of the plane that becomes the projection's third row.
    const Ogre::Vector4 corner((Ogre::Math::Sign(plane.normal.x) + projection[0][2]) / projection[0][0],
                               (Ogre::Math::Sign(plane.normal.y) + projection[1][2]) / projection[1][1],
                               -1.0f, (1.0f + projection[2][2]) / projection[2][3]);
    const Ogre::Vector4 clip(plane.normal.x, plane.normal.y, plane.normal.z, plane.d);
    const Ogre::Vector4 scaled = clip * (2.0f / clip.dotProduct(corner));
    Ogre::Matrix4 result = projection;
    result[2][0] = scaled.x;
    result[2][1] = scaled.y;
    result[2][2] = scaled.z + 1.0f;
    result[2][3] = scaled.w;
    return result;
}

float RandomGaussian(float scale, float cap)
{
    // Polar method; s == 0 (both draws 0) has no logarithm, so it is drawn again like s >= 1.
    float x = 0.0f;
    float s = 0.0f;
    do
    {
        x = Ogre::Math::RangeRandom(0.0f, 1.0f);
        const float y = Ogre::Math::RangeRandom(0.0f, 1.0f);
        s = x * x + y * y;
    } while (s >= 1.0f || s == 0.0f);
    const float g = std::fabs(x * std::sqrt(-2.0f * std::log(s) / s));
    // Cut at cap; this also keeps a cap of 0 or less from dividing by zero below.
    if (cap <= g)
        return scale;
    return scale / cap * g;
}

float EaseInOutQuadSecondHalf(float t)
{
    return -0.5f * ((t - 1.0f) * (t - 3.0f) - 1.0f);
}

float Fabs(float x)
{
    return std::fabs(x);
}
