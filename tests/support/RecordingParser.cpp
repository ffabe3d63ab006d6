#include "support/RecordingParser.h"

#include <tinyxml.h>

void RecordingParser::ParseElement(const TiXmlElement* element, const std::string& group, bool skip)
{
    const char* name = element->Attribute("name");
    m_parsed.push_back(Parsed{element->ValueStr(), name ? name : "", group, skip});
}

void RecordingParser::UnloadGroup(const std::string& group)
{
    m_unloaded.push_back(group);
}

std::vector<std::string> RecordingParser::Names() const
{
    std::vector<std::string> names;
    for (const Parsed& parsed : m_parsed)
        names.push_back(parsed.name);
    return names;
}
