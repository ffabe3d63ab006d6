#version 120
// A surface lit by a spot light through its cookie: spotViewProj maps the point into the cookie texture.
uniform mat4 worldViewProj;
uniform mat4 world;
uniform mat4 spotViewProj;
uniform vec4 lightPosition;
varying vec4 cookieClip;
varying vec3 toLight;
varying vec3 normal;

void main()
{
    vec4 position = world * gl_Vertex;
    gl_Position = worldViewProj * gl_Vertex;
    cookieClip = spotViewProj * position;
    toLight = lightPosition.xyz - position.xyz;
    normal = normalize(mat3(world) * gl_Normal);
}
