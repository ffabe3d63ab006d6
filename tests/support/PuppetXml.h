#pragma once

#include <string>

class cl_Puppet;

// Parses text (XML whose root is the element to read) and hands the root element to the puppet's
// FromXml; its result. A text that does not parse fails the test.
bool ReadPuppetXml(cl_Puppet& puppet, const std::string& text);
