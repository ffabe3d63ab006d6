#include "common/XmlParse.h"

#include "common/FileHelpers.h"

#include <tinyxml.h>

void ParseXml(TiXmlDocument& document, const std::string& text)
{
    // The longest UTF-8 character has four bytes: three more zeros than the terminator stop any step.
    std::string padded = text;
    padded.append(4, '\0');
    document.Parse(padded.c_str());
}

bool LoadXmlFile(TiXmlDocument& document, const std::string& path)
{
    document.Clear();
    std::string text;
    if (!ReadFileText(path, text))
        return false;
    ParseXml(document, text);
    return true;
}
