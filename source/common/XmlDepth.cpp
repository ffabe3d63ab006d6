#include "common/XmlDepth.h"

#include <tinyxml.h>

#include <algorithm>
#include <cctype>
#include <cstring>

namespace
{
// Walks the text with TinyXML's own rules for where markup starts and ends, so that no '<', quote or end
// tag is read differently: text and quoted values step over whole UTF-8 characters once TinyXML reads
// UTF-8 (a lead byte can hide a '<' behind it), comments, CDATA sections and unknown tags are skipped
// byte by byte. Nesting is counted with a number instead of recursion.
class DepthScan
{
public:
    enum class Encoding
    {
        Unknown,
        Utf8,
        Legacy
    };

    explicit DepthScan(const std::string& text)
        : m_text(text.c_str()), m_size(std::min(text.size(), std::strlen(text.c_str())))
    {
    }

    // The deepest level met from position on, starting at the top level of the document.
    int Scan(size_t position)
    {
        size_t at = position;
        int depth = 0;
        for (;;)
        {
            at = SkipSpace(at);
            if (at >= m_size)
                return m_deepest;
            if (Byte(at) != '<')
            {
                // Text ends the document at the top level; inside an element it runs to the next '<'.
                if (depth == 0)
                    return m_deepest;
                at = TextEnd(at);
            }
            else if (depth > 0 && Byte(at + 1) == '/')
            {
                at = Past('>', at + 2);
                --depth;
            }
            else if (StartsWith(at, "<?xml", true))
            {
                at = Declaration(at);
                // TinyXML takes the encoding from the first declaration at the top level. Both readings
                // are followed from here instead of decoding the attribute as TinyXML does.
                if (depth == 0 && m_encoding == Encoding::Unknown && at != NONE)
                {
                    DepthScan legacy(*this);
                    legacy.m_encoding = Encoding::Legacy;
                    m_encoding = Encoding::Utf8;
                    m_deepest = std::max(m_deepest, legacy.Scan(at));
                }
            }
            else if (StartsWith(at, "<!--", false))
                at = PastText(at + 4, "-->");
            else if (StartsWith(at, "<![CDATA[", false))
                at = PastText(at + 9, "]]>");
            else if (StartsWith(at, "<!", false) || !(IsAlpha(Byte(at + 1)) || Byte(at + 1) == '_'))
                at = Past('>', at + 1);
            else
            {
                bool empty = false;
                at = StartTag(at, empty);
                m_deepest = std::max(m_deepest, depth + 1);
                if (!empty)
                    ++depth;
            }
            if (at == NONE)
                return m_deepest;
        }
    }

    // Text that begins with TinyXML's byte order mark is read as UTF-8 from the start.
    void ReadEncodingMark()
    {
        if (StartsWith(0, "\xEF\xBB\xBF", false))
            m_encoding = Encoding::Utf8;
    }

private:
    static constexpr size_t NONE = static_cast<size_t>(-1);

    unsigned char Byte(size_t at) const { return at < m_size ? static_cast<unsigned char>(m_text[at]) : 0; }

    static bool IsSpace(unsigned char byte) { return std::isspace(byte) != 0; }
    static bool IsAlpha(unsigned char byte) { return byte >= 127 || std::isalpha(byte) != 0; }
    static bool IsNameByte(unsigned char byte)
    {
        return byte >= 127 || std::isalnum(byte) != 0 || byte == '_' || byte == '-' || byte == '.' ||
               byte == ':';
    }

    bool StartsWith(size_t at, const char* word, bool ignoreCase) const
    {
        for (size_t i = 0; word[i] != '\0'; ++i)
        {
            const unsigned char byte = Byte(at + i);
            const unsigned char wanted = static_cast<unsigned char>(word[i]);
            if (ignoreCase ? std::tolower(byte) != std::tolower(wanted) : byte != wanted)
                return false;
        }
        return true;
    }

    // Whitespace, and in UTF-8 the three byte-order-mark forms TinyXML passes over with it.
    size_t SkipSpace(size_t at) const
    {
        while (at < m_size)
        {
            if (m_encoding == Encoding::Utf8 &&
                (StartsWith(at, "\xEF\xBB\xBF", false) || StartsWith(at, "\xEF\xBF\xBE", false) ||
                 StartsWith(at, "\xEF\xBF\xBF", false)))
                at += 3;
            else if (IsSpace(Byte(at)))
                ++at;
            else
                break;
        }
        return at;
    }

    // One character of text: a whole UTF-8 sequence once TinyXML reads UTF-8. Entities span only ASCII
    // bytes, so stepping over them byte by byte lands where TinyXML does.
    size_t Step(size_t at) const
    {
        if (m_encoding != Encoding::Utf8)
            return at + 1;
        return at + static_cast<size_t>(std::max(1, TiXmlBase::utf8ByteTable[Byte(at)]));
    }

    // The '<' that ends the text starting at at; NONE when the text runs to the end.
    size_t TextEnd(size_t at) const
    {
        while (at < m_size && Byte(at) != '<')
            at = Step(at);
        return at < m_size ? at : NONE;
    }

    // Just past end, read character by character from at; NONE when it never comes.
    size_t PastText(size_t at, const char* end) const
    {
        while (at < m_size && !StartsWith(at, end, false))
            ++at;
        return at < m_size ? at + std::strlen(end) : NONE;
    }

    size_t QuotedValueEnd(size_t at) const
    {
        const char quote[2] = {static_cast<char>(Byte(at)), '\0'};
        at = at + 1;
        while (at < m_size && !StartsWith(at, quote, false))
            at = Step(at);
        return at < m_size ? at + 1 : NONE;
    }

    size_t Past(char end, size_t at) const
    {
        while (at < m_size && Byte(at) != static_cast<unsigned char>(end))
            ++at;
        return at < m_size ? at + 1 : NONE;
    }

    size_t Name(size_t at) const
    {
        if (!IsAlpha(Byte(at)) && Byte(at) != '_')
            return NONE;
        while (IsNameByte(Byte(at)))
            ++at;
        return at;
    }

    // name = "value", name = 'value' or name = value, as TinyXML reads an attribute.
    size_t Attribute(size_t at) const
    {
        at = Name(at);
        if (at == NONE)
            return NONE;
        at = SkipSpace(at);
        if (Byte(at) != '=')
            return NONE;
        at = SkipSpace(at + 1);
        if (Byte(at) == '"' || Byte(at) == '\'')
            return QuotedValueEnd(at);
        while (at < m_size && !IsSpace(Byte(at)) && Byte(at) != '/' && Byte(at) != '>')
        {
            if (Byte(at) == '"' || Byte(at) == '\'')
                return NONE;
            ++at;
        }
        return at;
    }

    // Just past the start tag at at; empty tells whether it was "<name ... />". In UTF-8, byte order
    // marks and whitespace between '<' and the name are passed over.
    size_t StartTag(size_t at, bool& empty) const
    {
        at = Name(SkipSpace(at + 1));
        while (at != NONE && at < m_size)
        {
            at = SkipSpace(at);
            if (Byte(at) == '/')
            {
                empty = true;
                return Byte(at + 1) == '>' ? at + 2 : NONE;
            }
            if (Byte(at) == '>')
                return at + 1;
            at = Attribute(at);
        }
        return NONE;
    }

    // Just past "<?xml ... >": only version, encoding and standalone are read as attributes (their
    // values may hold a '>'), anything else up to a space or '>' is passed over.
    size_t Declaration(size_t at) const
    {
        at += 5;
        while (at < m_size)
        {
            if (Byte(at) == '>')
                return at + 1;
            at = SkipSpace(at);
            if (StartsWith(at, "version", true) || StartsWith(at, "encoding", true) ||
                StartsWith(at, "standalone", true))
            {
                at = Attribute(at);
                if (at == NONE)
                    return NONE;
            }
            else
            {
                while (at < m_size && Byte(at) != '>' && !IsSpace(Byte(at)))
                    ++at;
            }
        }
        return NONE;
    }

    const char* m_text;
    size_t m_size;
    Encoding m_encoding = Encoding::Unknown;
    int m_deepest = 0;
};
} // namespace

int XmlDepth(const std::string& text)
{
    DepthScan scan(text);
    scan.ReadEncodingMark();
    return scan.Scan(0);
}
