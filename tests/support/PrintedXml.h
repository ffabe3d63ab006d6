#pragma once

#include <string>

class TiXmlNode;

// The node and everything below it as one line of XML text (TinyXML's stream printing), to compare whole
// trees in tests; the empty string for null.
std::string PrintedXml(const TiXmlNode* node);
