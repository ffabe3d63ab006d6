#pragma once

#include "assets/cl_Asset.h"

#include <string>

// A cutscene of the chapter; it has no data beyond the common asset data.
class cl_CutsceneAsset : public cl_Asset
{
public:
    std::string GetType() const override;
};
