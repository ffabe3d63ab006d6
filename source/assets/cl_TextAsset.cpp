#include "assets/cl_TextAsset.h"

namespace
{
bool IsContinuationByte(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}
} // namespace

std::string cl_TextAsset::GetType() const
{
    return "text";
}

std::string cl_TextAsset::GetThingType() const
{
    return "text";
}

std::string cl_TextAsset::GetThingText() const
{
    return CutThingText(m_content);
}

std::string cl_TextAsset::CutThingText(const std::string& text)
{
    size_t characters = 0;
    for (size_t position = 0; position < text.size(); ++position)
    {
        if (IsContinuationByte(text[position]))
            continue;
        if (characters == THING_TEXT_LENGTH)
            return text.substr(0, position) + "...";
        ++characters;
    }
    return text;
}
