#pragma once

#include "assets/cl_ItemPool.h"

// The pool "characters": makes cl_CharacterAsset objects with their speech colour and topic list.
class cl_CharacterPool : public cl_ItemPool
{
public:
    cl_CharacterPool();

    std::unique_ptr<cl_Asset> CreateAsset(const TiXmlElement* element) override;
    // "speechcolor" is "red,green,blue", each 0 to 255 (a part that is no number reads as 0); an empty
    // part is logged and gives black. The topic list becomes the "topicref" of each `topic` child of the
    // first `topics` child; each of these topics that the topics pool holds gets this character as its
    // owner. asset must be a cl_CharacterAsset (other assets are left alone).
    void UpdateAsset(cl_Asset& asset, const TiXmlElement& element) override;
};
