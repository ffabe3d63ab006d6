#pragma once

#include <string>

class TiXmlDocument;

// Where a parse error lies in the text, rows and columns counted from 1 (a column is a character).
struct XmlErrorLocation
{
    int row;
    int column;
};

// Where parsing text into document failed. TinyXML gives row 0 when it lost the place: a text that ends
// inside an element (the error lies at its last character) and a text with no element at all (at its first
// character that is no white space).
XmlErrorLocation LocateXmlError(const TiXmlDocument& document, const std::string& text);
