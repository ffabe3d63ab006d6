#pragma once

#include "assets/cl_TextPool.h"

#include <string>

namespace Ogre
{
class DataStream;
}

// The pool "spokentexts": makes cl_SpokentextAsset objects, gives their display text (GetText, as for
// texts) and takes their leaf ids from the chapter's leaf-id files.
class cl_SpokentextPool : public cl_TextPool
{
public:
    cl_SpokentextPool();

    std::unique_ptr<cl_Asset> CreateAsset(const TiXmlElement* element) override;
    // Reads "speakerref" when present and the content as texts do. asset must be a cl_SpokentextAsset
    // (other assets are left alone).
    void UpdateAsset(cl_Asset& asset, const TiXmlElement& element) override;

    // Sets the leaf id of the spoken text; an id the pool lacks is logged and changes nothing.
    void SetLeafId(const std::string& id, const std::string& leafId);
    // Reads a leaf-id file: every line that is not empty is "<spoken-text id>;<leaf id>", cut at the first
    // ';' (white space around the line is dropped), and goes to SetLeafId. A line without ';' is logged and
    // passed over.
    void LoadLeafIds(Ogre::DataStream& stream);
};
