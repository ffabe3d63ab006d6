#pragma once

#include "assets/cl_AssetPool.h"

// The pool "cutscenes": makes cl_CutsceneAsset objects, which read no type data.
class cl_CutscenePool : public cl_AssetPool
{
public:
    cl_CutscenePool();

    std::unique_ptr<cl_Asset> CreateAsset(const TiXmlElement* element) override;
};
