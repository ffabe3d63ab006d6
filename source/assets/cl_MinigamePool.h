#pragma once

#include "assets/cl_AssetPool.h"

// The pool "minigames": makes cl_MinigameAsset objects.
class cl_MinigamePool : public cl_AssetPool
{
public:
    cl_MinigamePool();

    std::unique_ptr<cl_Asset> CreateAsset(const TiXmlElement* element) override;
    // Replaces the possible events with the texts of the `possibleevent` children, in document order (an
    // empty child gives the empty word). asset must be a cl_MinigameAsset (other assets are left alone).
    void UpdateAsset(cl_Asset& asset, const TiXmlElement& element) override;
};
