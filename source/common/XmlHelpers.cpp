#include "common/XmlHelpers.h"

#include <tinyxml.h>

#include <cstdio>

std::string AttributeOrEmpty(const TiXmlElement& element, const char* name)
{
    const char* value = element.Attribute(name);
    return value ? value : std::string();
}

bool IsTrueAttribute(const TiXmlElement& element, const char* name)
{
    const char* value = element.Attribute(name);
    return value && std::string(value) == "true";
}

float NumberAttribute(const TiXmlElement& element, const char* name, float fallback)
{
    const char* value = element.Attribute(name);
    double number = 0.0;
    if (!value || std::sscanf(value, "%lf", &number) != 1)
        return fallback;
    return static_cast<float>(number);
}

TiXmlElement* FindChildWithAttribute(TiXmlElement& parent, const char* name, const char* attribute,
                                     const std::string& value)
{
    for (TiXmlElement* child = parent.FirstChildElement(name); child; child = child->NextSiblingElement(name))
    {
        const char* found = child->Attribute(attribute);
        if (found && value == found)
            return child;
    }
    return nullptr;
}

TiXmlElement* AppendChild(TiXmlElement& parent, const char* name)
{
    auto* child = new TiXmlElement(name);
    parent.LinkEndChild(child);
    return child;
}
