#version 120
uniform mat4 worldViewProj;
uniform mat4 world;
varying vec3 worldPosition;

void main()
{
    worldPosition = (world * gl_Vertex).xyz;
    gl_Position = worldViewProj * gl_Vertex;
}
