#pragma once

#include "assets/cl_AssetPool.h"

// The pool "sequences": makes cl_SequenceAsset objects.
class cl_SequencePool : public cl_AssetPool
{
public:
    cl_SequencePool();

    // Writes the asset's id and an empty "hash" into the element.
    void UpdateElement(TiXmlElement& element, const cl_Asset& asset) const override;
    // A cl_SequenceAsset, with the element's data read when there is an element.
    std::unique_ptr<cl_Asset> CreateAsset(const TiXmlElement* element) override;
    // Reads "hash"; asset must be a cl_SequenceAsset (other assets are left alone).
    void UpdateAsset(cl_Asset& asset, const TiXmlElement& element) override;
};
