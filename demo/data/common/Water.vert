#version 120
// The water surfaces: where the fragment lies on the screen (for the textures the effect renders as the
// game camera sees) and where on the ripple map, which drifts with the time.
uniform mat4 worldViewProj;
uniform vec3 eyePosition;
uniform float time;
uniform float scale;
uniform float scroll;
varying vec4 projected;
varying vec2 rippleCoord;
varying vec3 toEye;
varying vec3 normal;

void main()
{
    gl_Position = worldViewProj * gl_Vertex;
    projected = gl_Position;
    rippleCoord = gl_MultiTexCoord0.xy * scale + vec2(time, time * 0.7) * scroll;
    toEye = eyePosition - gl_Vertex.xyz;
    normal = gl_Normal;
}
