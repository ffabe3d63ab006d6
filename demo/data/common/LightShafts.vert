#version 120
// A slice of a light shaft: where it lies in the world and where in the light's view (uTexViewProj takes a
// world position to the light's texture coordinates).
uniform mat4 worldViewProj;
uniform mat4 world;
uniform mat4 uTexViewProj;
varying vec3 worldPosition;
varying vec4 lightCoord;

void main()
{
    vec4 position = world * gl_Vertex;
    worldPosition = position.xyz;
    lightCoord = uTexViewProj * position;
    gl_Position = worldViewProj * gl_Vertex;
}
