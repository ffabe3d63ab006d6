#include "DepthRange.glsl"
// 1 where the point is lit by the shadow light, 0 where a caster stands between; lit outside the texture.
float Lit(sampler2D shadowMap, vec4 shadowClip)
{
    if (shadowClip.w <= 0.0)
        return 1.0;
    vec2 texel = shadowClip.xy / shadowClip.w;
    if (texel.x < 0.0 || texel.x > 1.0 || texel.y < 0.0 || texel.y > 1.0)
        return 1.0;
    return DepthToUnit(shadowClip) - 0.002 > texture2D(shadowMap, texel).r ? 0.0 : 1.0;
}
