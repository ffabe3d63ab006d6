#version 120
#include "DepthRange.glsl"
varying vec4 clip;

void main()
{
    gl_FragColor = vec4(DepthToUnit(clip), 0.0, 0.0, 1.0);
}
