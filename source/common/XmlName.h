#pragma once

#include <string>

// Whether text can be written as an XML element or attribute name and read back by TinyXML: a letter or
// '_' first, then letters, digits, '_', '-', '.' or ':'. Bytes from 0x80 count as letters, as TinyXML
// counts them. Data ids that become element names must pass this, or the saved file cannot be read.
bool IsXmlName(const std::string& text);
