#version 120
// Where a point of a shadow receiver lies in the shadow light's depth texture; texViewProj maps x and y
// to texture coordinates already.
uniform mat4 worldViewProj;
uniform mat4 world;
uniform mat4 texViewProj;
varying vec4 shadowClip;
varying vec2 uv;

void main()
{
    gl_Position = worldViewProj * gl_Vertex;
    shadowClip = texViewProj * (world * gl_Vertex);
    uv = gl_MultiTexCoord0.xy;
}
