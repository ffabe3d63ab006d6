#include "common/XmlErrorLocation.h"

#include <tinyxml.h>

#include <algorithm>

namespace
{
bool IsWhiteSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// The row and column of text[offset]; UTF-8 continuation bytes do not count as characters.
XmlErrorLocation LocationOf(const std::string& text, size_t offset)
{
    XmlErrorLocation location{1, 1};
    for (size_t i = 0; i < offset; ++i)
    {
        if (text[i] == '\n')
        {
            ++location.row;
            location.column = 1;
        }
        else if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
        {
            ++location.column;
        }
    }
    return location;
}
} // namespace

XmlErrorLocation LocateXmlError(const TiXmlDocument& document, const std::string& text)
{
    if (document.ErrorRow() > 0)
        return XmlErrorLocation{document.ErrorRow(), document.ErrorCol()};
    // The parser reads up to the first zero byte.
    const size_t end = std::min(text.find('\0'), text.size());
    size_t offset = 0;
    if (document.ErrorId() == TiXmlBase::TIXML_ERROR_DOCUMENT_EMPTY)
    {
        while (offset < end && IsWhiteSpace(text[offset]))
            ++offset;
    }
    else
    {
        offset = end;
        while (offset > 0 && IsWhiteSpace(text[offset - 1]))
            --offset;
        offset = offset > 0 ? offset - 1 : 0;
    }
    return LocationOf(text, offset);
}
