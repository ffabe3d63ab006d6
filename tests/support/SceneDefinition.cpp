#include "support/SceneDefinition.h"

#include "graphics/cl_Scene.h"

#include <tinyxml.h>

std::unique_ptr<cl_Scene> MakeScene(const std::string& assetId)
{
    TiXmlElement definition("scene");
    if (!assetId.empty())
        definition.SetAttribute("assetref", assetId);
    return std::make_unique<cl_Scene>(definition);
}
