#pragma once

#include <string>

// The deepest nesting of elements that TinyXML reaches when it parses text (up to its first zero byte),
// found in one pass without building a tree and without recursion. TinyXML's parser, printer and
// destructor recurse once per level, so a document of some tens of thousands of levels overflows the
// stack; asking this first lets a caller refuse it. The result is never less than the depth of the tree
// TinyXML builds from the same text, broken or not: where TinyXML stops at an error, this counts on.
int XmlDepth(const std::string& text);
