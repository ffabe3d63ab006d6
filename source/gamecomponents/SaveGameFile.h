#pragma once

#include <string>

class TiXmlDocument;
class TiXmlElement;
struct SaveEntry;

// The save-game file (".tsg"): a root `savegame` (attribute `version`) with the header children `name`,
// `chapter`, `section`, `datetime` (seconds since 1970), `played` (seconds), then a copy of the game-state
// tree `gamestate`. Version "1.03" is written; a file without version is "1.00".
//
// Older files escaped the name once more than XML needs, so "&" read back as "&amp;"; a name written here
// carries `escaped="once"`, and a name without it is unescaped once when read.
namespace SaveGameFile
{
// Parses text (named fileName in log lines) into document. Returns its `savegame` element, or null with
// a log line when the text is no XML (also empty or cut short) or has no `savegame` root.
TiXmlElement* Parse(TiXmlDocument& document, const std::string& text, const std::string& fileName);
// Reads the file at path, then as Parse; a file that cannot be read is logged too.
TiXmlElement* Load(TiXmlDocument& document, const std::string& path);

// Whether the game in savegame can be loaded: a version this program knows ("1.00" to "1.03") and a
// `gamestate` child. Logs why not, naming fileName.
bool CanLoad(const TiXmlElement& savegame, const std::string& fileName);
// Fills entry from the header (fields whose element is missing or empty keep their value); the date
// comes from `datetime` (32 or 64 bits), the difficulty from the saved Lua globals (0 when absent).
void ReadHeader(const TiXmlElement& savegame, const std::string& path, SaveEntry& entry);
// "_globals.difficulty" as the game state's databinding keeps it; 0 when absent.
int ReadDifficulty(const TiXmlElement& gamestate);
// Mends the game states of older versions in place: topics and interactions of the fair in "chapter2"
// saved by version "1.00", and the termite's click mesh of "chapter4_3" whatever the version. A step
// whose elements are missing is left out.
void Convert(TiXmlElement& savegame);

// The text of a save file holding the entry's header (not its file or difficulty) and a copy of gamestate.
std::string Write(const SaveEntry& entry, const TiXmlElement& gamestate);
} // namespace SaveGameFile
