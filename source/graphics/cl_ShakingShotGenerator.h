#pragma once

#include "graphics/cl_ShotGenerator.h"

#include <string>

class TiXmlElement;

// Shakes a shot by value sources: in three dimensions along the world axes, or (type "shake2d") in the
// active backdrop's plane, x to the right and y down in backdrop units.
class cl_ShakingShotGenerator : public cl_ShotGenerator
{
public:
    // Reads `type`, `srcshot` and the value-source names `xshakesrc`, `yshakesrc`, `zshakesrc`.
    explicit cl_ShakingShotGenerator(const TiXmlElement& element);

    // The source shot moved by the sources' values (0 for a source that does not exist). In the plane,
    // without an active backdrop, the shot is not moved.
    cl_Shot GenerateShot() override;

private:
    bool m_twoDimensional;
    std::string m_sourceShot;
    std::string m_xSource;
    std::string m_ySource;
    std::string m_zSource;
};
