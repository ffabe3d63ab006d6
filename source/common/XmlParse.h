#pragma once

#include <string>

class TiXmlDocument;
class TiXmlNode;
class TiXmlPrinter;

// Documents that nest elements deeper than this are refused unread. TinyXML recurses once per level
// while it parses, prints, copies and deletes, so tens of thousands of levels overflow the stack; no data
// of the game comes near the limit.
constexpr int MAX_XML_DEPTH = 512;

// Parses text into document as TinyXML's Parse does (a parse error stays in the document). TinyXML can
// step up to three bytes past the end of a text that ends inside a UTF-8 character and then reads on;
// the text is parsed from a copy with zero bytes behind it, so broken data never makes it read beyond.
// The text ends at its first zero byte. A text nesting deeper than MAX_XML_DEPTH leaves the document
// empty with an error, after a log line that names it by name (its file, for example).
void ParseXml(TiXmlDocument& document, const std::string& text, const std::string& name);

// Reads the file at path and parses it with ParseXml. False, with the document left empty, when the file
// cannot be read; a parse error stays in the document for the caller.
bool LoadXmlFile(TiXmlDocument& document, const std::string& path);

// How deep elements nest below node (an element child counts one level), found without recursion.
int ElementDepth(const TiXmlNode& node);

// The node as TinyXML's printer writes it (four spaces of indentation per level, a line per element).
// A tree deeper than a few dozen levels is written without indentation and line breaks, so the text
// grows with the tree and not with its size times its depth.
std::string PrintXml(const TiXmlNode& node);
// Sets printer to PrintXml's layout for a tree whose elements nest elementDepth levels deep.
void ChoosePrintLayout(TiXmlPrinter& printer, int elementDepth);
