#pragma once

#include "assets/cl_AssetPool.h"

// The pool "tasks": makes cl_TaskAsset objects, which read no type data.
class cl_TaskPool : public cl_AssetPool
{
public:
    cl_TaskPool();

    std::unique_ptr<cl_Asset> CreateAsset(const TiXmlElement* element) override;
};
