// A save file as the load reads it: parsed, its version and game state checked, its header read and the
// conversion of older versions applied. Whatever the file holds, the converted game state must still be
// well-formed XML when it is written out again.
#include "common/XmlParse.h"
#include "gamecomponents/SaveEntry.h"
#include "gamecomponents/SaveGameFile.h"

#include <tinyxml.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace
{
bool Reparses(const TiXmlElement& element)
{
    TiXmlDocument document;
    ParseXml(document, PrintXml(element), "the printed game state");
    return !document.Error() && document.RootElement();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TiXmlBase::SetCondenseWhiteSpace(false);
    const std::string text(reinterpret_cast<const char*>(data), size);
    TiXmlDocument document;
    TiXmlElement* savegame = SaveGameFile::Parse(document, text, "fuzz.tsg");
    if (!savegame)
        return 0;
    SaveEntry entry;
    SaveGameFile::ReadHeader(*savegame, "fuzz.tsg", entry);
    if (!SaveGameFile::CanLoad(*savegame, "fuzz.tsg"))
        return 0;
    // Only what TinyXML itself writes back readably can show a fault of ours.
    const TiXmlElement* gamestate = savegame->FirstChildElement("gamestate");
    if (!Reparses(*gamestate))
        return 0;
    SaveGameFile::Convert(*savegame);
    if (!Reparses(*savegame->FirstChildElement("gamestate")))
        __builtin_trap();
    return 0;
}
