#pragma once

#include <string>

class TiXmlDocument;

// Parses text into document as TinyXML's Parse does (a parse error stays in the document). TinyXML can
// step up to three bytes past the end of a text that ends inside a UTF-8 character and then reads on;
// the text is parsed from a copy with zero bytes behind it, so broken data never makes it read beyond.
// The text ends at its first zero byte.
void ParseXml(TiXmlDocument& document, const std::string& text);

// Reads the file at path and parses it with ParseXml. False, with the document left empty, when the file
// cannot be read; a parse error stays in the document for the caller.
bool LoadXmlFile(TiXmlDocument& document, const std::string& path);
