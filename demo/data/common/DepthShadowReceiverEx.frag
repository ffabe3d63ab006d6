#version 120
// Shows the surface's own texture, darkened where the shadow falls.
#include "DepthShadow.glsl"
uniform sampler2D shadowMap;
uniform sampler2D surface;
uniform float shade;
varying vec4 shadowClip;
varying vec2 uv;

void main()
{
    vec4 colour = texture2D(surface, uv);
    gl_FragColor = vec4(colour.rgb * mix(shade, 1.0, Lit(shadowMap, shadowClip)), colour.a);
}
