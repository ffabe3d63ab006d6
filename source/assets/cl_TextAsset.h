#pragma once

#include "assets/cl_Asset.h"

#include <string>

// A text shown to the player, from the `content` child of its pool entry.
class cl_TextAsset : public cl_Asset
{
public:
    // Thing texts longer than this many characters are cut to it and get "..." appended.
    static constexpr size_t THING_TEXT_LENGTH = 50;

    std::string GetType() const override;
    std::string GetThingType() const override;
    // The content, cut as CutThingText does.
    std::string GetThingText() const override;

    const std::string& GetContent() const { return m_content; }
    void SetContent(const std::string& content) { m_content = content; }

protected:
    // text when it has at most THING_TEXT_LENGTH characters, else its first THING_TEXT_LENGTH characters and
    // "...". Characters are counted in UTF-8 (continuation bytes belong to the byte before them), so the
    // cut never splits one.
    static std::string CutThingText(const std::string& text);

private:
    std::string m_content;
};
