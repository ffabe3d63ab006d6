#include "common/XmlHelpers.h"

#include <tinyxml.h>

std::string AttributeOrEmpty(const TiXmlElement& element, const char* name)
{
    const char* value = element.Attribute(name);
    return value ? value : std::string();
}

std::string ChildText(const TiXmlElement& element, const char* name)
{
    const TiXmlElement* child = element.FirstChildElement(name);
    const char* text = child ? child->GetText() : nullptr;
    return text ? text : std::string();
}

bool IsTrueAttribute(const TiXmlElement& element, const char* name)
{
    const char* value = element.Attribute(name);
    return value && std::string(value) == "true";
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

TiXmlElement& FindOrAppendChild(TiXmlElement& parent, const std::string& name)
{
    TiXmlElement* child = parent.FirstChildElement(name);
    return child ? *child : *AppendChild(parent, name.c_str());
}
