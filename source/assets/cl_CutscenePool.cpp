#include "assets/cl_CutscenePool.h"

#include "assets/cl_CutsceneAsset.h"

cl_CutscenePool::cl_CutscenePool() : cl_AssetPool("cutscenes") {}

std::unique_ptr<cl_Asset> cl_CutscenePool::CreateAsset(const TiXmlElement* /*element*/)
{
    return std::make_unique<cl_CutsceneAsset>();
}
