#pragma once

#include <memory>

class TiXmlElement;
class cl_ShotGenerator;

// Builds the shot generator that a scene's `shotactivator` element describes, by its `type`.
class cl_ShotGeneratorFactory
{
public:
    // "mixed", "spline", "rectangle", "shake", "shake2d", "shake3d", "multi" or "pan"; null for any other
    // type (the scene skips such an element without a message).
    static std::unique_ptr<cl_ShotGenerator> Create(const TiXmlElement& element);
};
