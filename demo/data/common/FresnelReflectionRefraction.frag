#version 120
#include "Water.glsl"
uniform sampler2D rippleMap;
uniform sampler2D reflectionMap;
uniform sampler2D refractionMap;
uniform float distortion;
uniform float fresnelBias;
uniform float fresnelScale;
uniform float fresnelPower;
uniform vec4 tintColour;
uniform vec4 specColour;
varying vec4 projected;
varying vec2 rippleCoord;
varying vec3 toEye;
varying vec3 normal;

void main()
{
    vec3 ripple = Ripple(rippleMap, rippleCoord);
    vec2 screen = RippledScreenPosition(projected, ripple, distortion);
    vec3 mirrored = texture2D(reflectionMap, screen).rgb;
    vec3 below = texture2D(refractionMap, screen).rgb;
    // The flatter the eye looks over the water, the more it mirrors.
    float facing = dot(normalize(toEye), normalize(normal));
    float fresnel = clamp(fresnelBias + fresnelScale * pow(1.0 - max(facing, 0.0), fresnelPower), 0.0, 1.0);
    gl_FragColor = WaterColour(mix(below, mirrored, fresnel), ripple, tintColour, specColour);
}
