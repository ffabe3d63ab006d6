#pragma once

#include "assets/cl_AssetPool.h"

// The pool "scenes": makes cl_SceneAsset objects with the "parentScene" of their element.
class cl_ScenePool : public cl_AssetPool
{
public:
    cl_ScenePool();

    std::unique_ptr<cl_Asset> CreateAsset(const TiXmlElement* element) override;
};
