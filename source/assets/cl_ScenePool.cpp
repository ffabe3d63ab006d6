#include "assets/cl_ScenePool.h"

#include "assets/cl_SceneAsset.h"

#include <tinyxml.h>

cl_ScenePool::cl_ScenePool() : cl_AssetPool("scenes") {}

std::unique_ptr<cl_Asset> cl_ScenePool::CreateAsset(const TiXmlElement* element)
{
    auto asset = std::make_unique<cl_SceneAsset>();
    if (const char* parentScene = element ? element->Attribute("parentScene") : nullptr)
        asset->SetParentScene(parentScene);
    return asset;
}
