#pragma once

#include "assets/cl_AssetPool.h"

#include <string>

// The pool "texts": makes cl_TextAsset objects and turns text ids into the text shown to the player.
class cl_TextPool : public cl_AssetPool
{
public:
    cl_TextPool();

    std::unique_ptr<cl_Asset> CreateAsset(const TiXmlElement* element) override;
    // Sets the content to the text of the first `content` child (empty without one or without text).
    // asset must be a cl_TextAsset (other assets are left alone).
    void UpdateAsset(cl_Asset& asset, const TiXmlElement& element) override;

    // The display text of an id: the localizer's token text when it has a token of that name (whose text
    // differs from the id), else the content of the pool's text of that id, else the empty string.
    std::string GetText(const std::string& id) const;

protected:
    // For the pools of text kinds (spoken texts) under a name of their own.
    explicit cl_TextPool(const std::string& name);
};
