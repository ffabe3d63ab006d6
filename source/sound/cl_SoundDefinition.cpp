#include "sound/cl_SoundDefinition.h"

#include "common/LogCall.h"
#include "common/StringHelpers.h"

#include <tinyxml.h>

#include <cstdlib>

namespace
{
std::string AttributeOf(const TiXmlElement& element, const char* name)
{
    const char* value = element.Attribute(name);
    return value ? value : "";
}

std::string TextOf(const TiXmlElement& element)
{
    const char* text = element.GetText();
    return text ? text : "";
}

// File names are kept with '\' between folders, however the data writes them. An empty name names no file.
void AddFile(cl_SoundDefinition& definition, std::string file)
{
    if (file.empty())
    {
        LOG_WARNING("The sound '%s' has a src without a file name; it is passed over.",
                    definition.m_id.c_str());
        return;
    }
    ReplaceAll(file, "/", "\\");
    definition.m_files.push_back(file);
}
} // namespace

cl_SoundDefinition cl_SoundDefinition::FromXml(const TiXmlElement& element)
{
    cl_SoundDefinition definition;
    definition.m_id = AttributeOf(element, "id");
    if (const char* source = element.Attribute("src"))
        AddFile(definition, source);
    if (const char* loopCount = element.Attribute("loopcount"))
    {
        definition.m_loopCount = std::string(loopCount) == "true" ? -1 : std::atoi(loopCount);
        if (definition.m_loopCount == 0)
            definition.m_loopCount = 1;
    }
    definition.m_streamed = AttributeOf(element, "streamed") == "true";

    for (const TiXmlElement* source = element.FirstChildElement("src"); source;
         source = source->NextSiblingElement("src"))
        AddFile(definition, TextOf(*source));
    for (const TiXmlElement* param = element.FirstChildElement("param"); param;
         param = param->NextSiblingElement("param"))
    {
        const std::string name = AttributeOf(*param, "name");
        const std::string value = TextOf(*param);
        if (name.empty() || value.empty())
            LOG_WARNING("The sound '%s' has a param without a name or a value; it is passed over.",
                        definition.m_id.c_str());
        else
            definition.m_params[name] = value;
    }
    return definition;
}
