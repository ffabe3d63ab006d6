#version 120
#include "LightDistance.glsl"
// What blocks a light shaft, drawn into its depth texture: the distance from the light.
uniform vec3 uLightPosition;
uniform float uLightNearClipDistance;
uniform float uLightFarClipDistance;
varying vec3 worldPosition;

void main()
{
    float d = LightDistance(worldPosition, uLightPosition, uLightNearClipDistance, uLightFarClipDistance);
    gl_FragColor = vec4(vec3(clamp(d, 0.0, 1.0)), 1.0);
}
