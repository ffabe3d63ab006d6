#include "support/SceneDefinition.h"

#include "graphics/cl_Scene.h"
#include "graphics/cl_SceneManager.h"

#include <tinyxml.h>

std::unique_ptr<cl_Scene> MakeScene(const std::string& assetId)
{
    TiXmlElement definition("scene");
    if (!assetId.empty())
        definition.SetAttribute("assetref", assetId);
    return std::make_unique<cl_Scene>(definition);
}

void ParseScenes(cl_SceneManager& scenes, std::initializer_list<const char*> assetIds)
{
    for (const char* assetId : assetIds)
    {
        TiXmlElement definition("scene");
        definition.SetAttribute("assetref", assetId);
        scenes.ParseElement(&definition, "CHAPTERDATA", false);
    }
}
