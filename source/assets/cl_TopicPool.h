#pragma once

#include "assets/cl_AssetPool.h"

// The pool "topics": makes cl_TopicAsset objects. It loads before the characters pool, which makes each
// character the owner of the topics it lists.
class cl_TopicPool : public cl_AssetPool
{
public:
    cl_TopicPool();

    std::unique_ptr<cl_Asset> CreateAsset(const TiXmlElement* element) override;
    // Copies each of "titleref", "parentref", "playercharref" and "sequenceref" that is present; an
    // "exittopic" that is "true" in any case makes an exit topic. asset must be a cl_TopicAsset (other
    // assets are left alone).
    void UpdateAsset(cl_Asset& asset, const TiXmlElement& element) override;
};
