#include "assets/cl_SequencePool.h"

#include "assets/cl_SequenceAsset.h"

#include <tinyxml.h>

#include <algorithm>
#include <climits>
#include <cstdlib>

cl_SequencePool::cl_SequencePool() : cl_AssetPool("sequences") {}

void cl_SequencePool::UpdateElement(TiXmlElement& element, const cl_Asset& asset) const
{
    element.SetAttribute("id", asset.GetId());
    element.SetAttribute("hash", "");
}

std::unique_ptr<cl_Asset> cl_SequencePool::CreateAsset(const TiXmlElement* element)
{
    auto asset = std::make_unique<cl_SequenceAsset>();
    if (element)
        UpdateAsset(*asset, *element);
    return asset;
}

void cl_SequencePool::UpdateAsset(cl_Asset& asset, const TiXmlElement& element)
{
    auto* sequence = dynamic_cast<cl_SequenceAsset*>(&asset);
    const char* hash = element.Attribute("hash");
    if (!sequence || !hash)
        return;
    const long value = std::strtol(hash, nullptr, 10);
    sequence->SetHash(static_cast<int>(std::clamp<long>(value, INT_MIN, INT_MAX)));
}
