#pragma once

struct lua_State;
class TiXmlElement;

// The save-game form of the script table "_globals": one element per table entry, named after its key,
// with the attributes I (key type: "N" number, "S" string) and V (value type: "N" number, "B" boolean,
// "S" string, "T" table). A number value is the element's text, printed with "%.17g" so it reads back
// exactly; a boolean is "true" or "false"; a string is the text itself; a table has one child element per
// entry. A number key is named "n" and the key printed with "%f" (key 1: "n1.000000"), a string key by
// its text. A key that cannot be named so (a string that is no XML name, a number that "%f" would round)
// goes into an element `k` whose attribute K holds the key's text (a number key printed with "%.17g").
//
// Older saves, which printed numbers with "%f" and had no `k` elements, read as before.
namespace LuaGlobalsXml
{
// Appends the table at index as the element `_globals` to parent. Entries with other keys than numbers
// and strings, or other values than numbers, booleans, strings and tables, are left out, and so is a
// table that contains itself or lies too deep (with an error log).
void WriteGlobals(lua_State* L, int index, TiXmlElement& parent);

// Pushes a new table filled from the child elements of element (the `_globals` element). Entries that
// do not follow the form are passed over; a later entry with the same key replaces an earlier one.
void PushTable(lua_State* L, const TiXmlElement& element);
} // namespace LuaGlobalsXml
