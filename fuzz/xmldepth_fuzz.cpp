// Any text: the elements TinyXML nests must never go deeper than XmlDepth foretold, or a document that
// the reader lets through could still overflow the stack. The first byte picks whether TinyXML condenses
// whitespace, which moves where it starts reading text.
#include "common/XmlDepth.h"
#include "common/XmlParse.h"

#include <tinyxml.h>

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    TiXmlBase::SetCondenseWhiteSpace((data[0] & 1) != 0);
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    TiXmlDocument document;
    ParseXml(document, text, "fuzz input");
    if (ElementDepth(document) > XmlDepth(text))
        __builtin_trap();
    return 0;
}
