// OpenGL's clip space runs from -1 to 1 in depth, where Direct3D's runs from 0 to 1. Every depth that the
// shadow materials write or compare goes through here, so casters and receivers agree on one range.
float DepthToUnit(vec4 clip)
{
    return clip.z / clip.w * 0.5 + 0.5;
}
