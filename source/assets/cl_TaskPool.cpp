#include "assets/cl_TaskPool.h"

#include "assets/cl_TaskAsset.h"

cl_TaskPool::cl_TaskPool() : cl_AssetPool("tasks") {}

std::unique_ptr<cl_Asset> cl_TaskPool::CreateAsset(const TiXmlElement* /*element*/)
{
    return std::make_unique<cl_TaskAsset>();
}
