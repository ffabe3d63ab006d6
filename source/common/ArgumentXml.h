#pragma once

class TiXmlElement;
class cl_Argument;

// A command argument kept in XML with its type, so that it reads back as it was written: the attribute
// typeAttribute holds the type word ("empty", "int", "double", "string", "bool", "list", "table"), the
// attribute valueAttribute the value of an int, double (printed exactly), string or bool ("true" or
// "false"). A list is written as one child `item` per element, a table as one child `pair` per pair with
// the children `key` and `value`; each of these holds its argument in the attributes "type" and "value".
// An opaque handle has no stored form and is written as empty.
namespace ArgumentXml
{
void Write(TiXmlElement& element, const cl_Argument& value, const char* typeAttribute,
           const char* valueAttribute);

// Reads what Write wrote into out. An element without the type attribute holds a string (the value
// attribute, empty when missing); an unknown type word is read as a string too, with a warning. Numbers
// that do not scan read as 0; containers nested deeper than the script system allows are cut off (empty)
// with an error log.
void Read(const TiXmlElement& element, const char* typeAttribute, const char* valueAttribute,
          cl_Argument& out);
} // namespace ArgumentXml
