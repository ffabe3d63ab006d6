#include "graphics/cl_ShotGeneratorFactory.h"

#include "common/XmlNumbers.h"
#include "graphics/cl_MixedShotGenerator.h"
#include "graphics/cl_MultiShotGenerator.h"
#include "graphics/cl_PanShotGenerator.h"
#include "graphics/cl_RectangleShotGenerator.h"
#include "graphics/cl_ShakingShotGenerator.h"
#include "graphics/cl_SplineShotGenerator.h"

std::unique_ptr<cl_ShotGenerator> cl_ShotGeneratorFactory::Create(const TiXmlElement& element)
{
    const std::string type = TextAttribute(element, "type", "");
    if (type == "mixed")
        return std::make_unique<cl_MixedShotGenerator>(element);
    if (type == "spline")
        return std::make_unique<cl_SplineShotGenerator>(element);
    if (type == "rectangle")
        return std::make_unique<cl_RectangleShotGenerator>(element);
    if (type == "shake" || type == "shake2d" || type == "shake3d")
        return std::make_unique<cl_ShakingShotGenerator>(element);
    if (type == "multi")
        return std::make_unique<cl_MultiShotGenerator>(element);
    if (type == "pan")
        return std::make_unique<cl_PanShotGenerator>(element);
    return nullptr;
}
