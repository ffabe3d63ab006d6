#include "support/PrintedXml.h"

#include <tinyxml.h>

std::string PrintedXml(const TiXmlNode* node)
{
    TiXmlPrinter printer;
    printer.SetStreamPrinting();
    if (node)
        node->Accept(&printer);
    return printer.Str();
}
