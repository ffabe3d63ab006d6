#pragma once

#include "assets/cl_Asset.h"

#include <string>

// A task of the chapter; it has no data beyond the common asset data.
class cl_TaskAsset : public cl_Asset
{
public:
    std::string GetType() const override;
};
