#pragma once

#include <string>

class TiXmlElement;

// Small element and attribute helpers over TinyXML, for code that reads and edits XML trees in place.

// The attribute's value, or the empty string when the element has no such attribute.
std::string AttributeOrEmpty(const TiXmlElement& element, const char* name);

// The text of the first child element called name; the empty string when there is none or it is empty.
std::string ChildText(const TiXmlElement& element, const char* name);

// Whether the attribute is there and reads exactly "true" (the data's flags are case-sensitive).
bool IsTrueAttribute(const TiXmlElement& element, const char* name);

// The first child element called name whose attribute has exactly value; null when there is none.
TiXmlElement* FindChildWithAttribute(TiXmlElement& parent, const char* name, const char* attribute,
                                     const std::string& value);

// Appends a new, empty child element called name to parent, which owns it.
TiXmlElement* AppendChild(TiXmlElement& parent, const char* name);

// The first child element called name, appended when there is none.
TiXmlElement& FindOrAppendChild(TiXmlElement& parent, const std::string& name);
