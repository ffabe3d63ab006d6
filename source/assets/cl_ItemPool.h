#pragma once

#include "assets/cl_AssetPool.h"

// The pool "items": makes cl_ItemAsset objects. Items read no type data from their pool file.
class cl_ItemPool : public cl_AssetPool
{
public:
    cl_ItemPool();

    std::unique_ptr<cl_Asset> CreateAsset(const TiXmlElement* element) override;

protected:
    // For the pools of item kinds (characters) under a name of their own.
    explicit cl_ItemPool(const std::string& name);
};
