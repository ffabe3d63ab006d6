#version 120
// Darkens what lies behind (the backdrop's picture) where the shadow falls.
#include "DepthShadow.glsl"
uniform sampler2D shadowMap;
uniform float shade;
varying vec4 shadowClip;
varying vec2 uv;

void main()
{
    gl_FragColor = vec4(vec3(mix(shade, 1.0, Lit(shadowMap, shadowClip))), 1.0);
}
