// How far a point lies from the light of a light shaft, as a share of the stretch the light reaches: 0 at
// its near distance, 1 at its far one. The depth texture holds this for what blocks the light and the
// slices compare their own with it: linear distances, the same on every render system, where projected
// depths would differ (OpenGL's run from -1 to 1).
float LightDistance(vec3 position, vec3 light, float nearDistance, float farDistance)
{
    return (distance(position, light) - nearDistance) / (farDistance - nearDistance);
}
