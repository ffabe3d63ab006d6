#version 120
#include "LightDistance.glsl"
// A slice of a light shaft adds the light's picture where nothing nearer to the light blocks it, fading
// toward the far end.
uniform sampler2D uDepthMap;
uniform sampler2D uLightTexture;
uniform vec3 uLightPosition;
uniform float uLightNearClipDistance;
uniform float uLightFarClipDistance;
varying vec3 worldPosition;
varying vec4 lightCoord;

// The share of the light one slice adds.
const float SLICE_LIGHT = 0.08;
// Leeway for the depth texture's 8 bits.
const float DEPTH_BIAS = 0.01;

void main()
{
    vec2 coord = lightCoord.xy / lightCoord.w;
    float d = LightDistance(worldPosition, uLightPosition, uLightNearClipDistance, uLightFarClipDistance);
    float blocker = texture2D(uDepthMap, coord).r;
    float lit = d <= blocker + DEPTH_BIAS ? 1.0 : 0.0;
    // Outside the light's view, in front of the light or beyond its reach there is no light.
    if (lightCoord.w <= 0.0 || d < 0.0 || d > 1.0)
        lit = 0.0;
    vec3 light = texture2D(uLightTexture, coord).rgb;
    gl_FragColor = vec4(light * lit * (1.0 - d) * SLICE_LIGHT, 1.0);
}
