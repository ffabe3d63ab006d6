#include "assets/cl_ItemPool.h"

#include "assets/cl_ItemAsset.h"

cl_ItemPool::cl_ItemPool() : cl_AssetPool("items") {}

cl_ItemPool::cl_ItemPool(const std::string& name) : cl_AssetPool(name) {}

std::unique_ptr<cl_Asset> cl_ItemPool::CreateAsset(const TiXmlElement* /*element*/)
{
    return std::make_unique<cl_ItemAsset>();
}
