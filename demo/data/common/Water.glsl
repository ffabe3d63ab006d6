// Where the textures an effect renders for the game camera show a fragment: its place on the screen,
// moved by the ripples. Render textures are read top row first here as on every render system (OGRE
// renders them upside down on GL), so the screen's y runs downward.
vec2 RippledScreenPosition(vec4 projected, vec3 ripple, float distortion)
{
    vec2 screen = vec2(0.5 + 0.5 * projected.x / projected.w, 0.5 - 0.5 * projected.y / projected.w);
    return screen + ripple.xy * distortion;
}

// The ripple map's slope at the point, -1..1.
vec3 Ripple(sampler2D rippleMap, vec2 coord)
{
    return texture2D(rippleMap, coord).rgb * 2.0 - 1.0;
}

// What the water shows: the colour tinted (a tint of alpha 0 leaves it), with a glint of specColour where
// the ripples face up the most.
vec4 WaterColour(vec3 colour, vec3 ripple, vec4 tintColour, vec4 specColour)
{
    vec3 tinted = colour * mix(vec3(1.0), tintColour.rgb, tintColour.a);
    float glint = pow(max(ripple.z, 0.0), 24.0);
    return vec4(tinted + specColour.rgb * glint * 0.4, 1.0);
}
