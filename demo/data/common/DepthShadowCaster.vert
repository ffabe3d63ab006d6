#version 120
// Renders a shadow caster into the light's depth texture.
uniform mat4 worldViewProj;
varying vec4 clip;

void main()
{
    gl_Position = worldViewProj * gl_Vertex;
    clip = gl_Position;
}
