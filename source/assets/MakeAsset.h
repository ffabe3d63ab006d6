#pragma once

#include "assets/cl_AssetPool.h"

#include <memory>

class TiXmlElement;

// What the CreateAsset of a pool with type data does: a new asset of the pool's class, its type data read
// from element through the pool's UpdateAsset when there is an element (none for run-time assets).
template <class AssetClass>
std::unique_ptr<cl_Asset> MakeAsset(cl_AssetPool& pool, const TiXmlElement* element)
{
    auto asset = std::make_unique<AssetClass>();
    if (element)
        pool.UpdateAsset(*asset, *element);
    return asset;
}
