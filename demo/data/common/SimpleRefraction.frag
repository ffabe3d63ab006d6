#version 120
#include "Water.glsl"
uniform sampler2D rippleMap;
uniform sampler2D refractionMap;
uniform float distortion;
uniform vec4 tintColour;
uniform vec4 specColour;
varying vec4 projected;
varying vec2 rippleCoord;

void main()
{
    vec3 ripple = Ripple(rippleMap, rippleCoord);
    vec3 below = texture2D(refractionMap, RippledScreenPosition(projected, ripple, distortion)).rgb;
    gl_FragColor = WaterColour(below, ripple, tintColour, specColour);
}
