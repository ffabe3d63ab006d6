#include "common/XmlParse.h"

#include "common/FileHelpers.h"
#include "common/LogCall.h"
#include "common/XmlDepth.h"

#include <tinyxml.h>

#include <algorithm>

namespace
{
// Deeper trees are printed without indentation.
constexpr int MAX_INDENTED_DEPTH = 32;
} // namespace

void ParseXml(TiXmlDocument& document, const std::string& text, const std::string& name)
{
    // The longest UTF-8 character has four bytes: three more zeros than the terminator stop any step.
    std::string padded = text.substr(0, text.find('\0'));
    const int depth = XmlDepth(padded);
    if (depth > MAX_XML_DEPTH)
    {
        LOG_ERROR("%s nests elements %i levels deep, more than the %i this program reads; it is not read.",
                  name.c_str(), depth, MAX_XML_DEPTH);
        document.Clear();
        document.ClearError();
        document.SetError(TiXmlBase::TIXML_ERROR, nullptr, nullptr, TIXML_ENCODING_UNKNOWN);
        return;
    }
    padded.append(4, '\0');
    document.Parse(padded.c_str());
}

int ElementDepth(const TiXmlNode& node)
{
    int depth = 0;
    int deepest = 0;
    const TiXmlNode* at = &node;
    for (;;)
    {
        if (const TiXmlNode* child = at->FirstChild())
        {
            at = child;
            ++depth;
        }
        else
        {
            while (at != &node && !at->NextSibling())
            {
                at = at->Parent();
                --depth;
            }
            if (at == &node)
                return deepest;
            at = at->NextSibling();
        }
        if (at->ToElement())
            deepest = std::max(deepest, depth);
    }
}

bool LoadXmlFile(TiXmlDocument& document, const std::string& path)
{
    document.Clear();
    std::string text;
    if (!ReadFileText(path, text))
        return false;
    ParseXml(document, text, path);
    return true;
}

std::string PrintXml(const TiXmlNode& node)
{
    TiXmlPrinter printer;
    ChoosePrintLayout(printer, ElementDepth(node));
    node.Accept(&printer);
    return printer.Str();
}

void ChoosePrintLayout(TiXmlPrinter& printer, int elementDepth)
{
    if (elementDepth > MAX_INDENTED_DEPTH)
        printer.SetStreamPrinting();
}
