#include "common/XmlParse.h"

#include <tinyxml.h>

#include <fstream>
#include <sstream>

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
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    std::ostringstream text;
    text << file.rdbuf();
    if (file.bad())
        return false;
    ParseXml(document, text.str());
    return true;
}
