#pragma once

#include "assets/cl_TextAsset.h"

#include <string>

// A line a character speaks: its text (the content), its speaker and the name of its speech file (the leaf
// id, set from the chapter's leaf-id files after the pools are loaded).
class cl_SpokentextAsset : public cl_TextAsset
{
public:
    std::string GetType() const override;
    std::string GetThingType() const override;
    // "<speaker>: <content>", cut as the thing texts of texts are. The speaker is the name of the character
    // the speaker ref names in the characters pool; its id when the name is empty or there is no such
    // character.
    std::string GetThingText() const override;

    const std::string& GetSpeakerRef() const { return m_speakerRef; }
    void SetSpeakerRef(const std::string& characterId) { m_speakerRef = characterId; }
    // Empty until a leaf-id file names it.
    const std::string& GetLeafId() const { return m_leafId; }
    void SetLeafId(const std::string& leafId) { m_leafId = leafId; }

private:
    std::string m_speakerRef;
    std::string m_leafId;
};
