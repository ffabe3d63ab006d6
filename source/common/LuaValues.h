#pragma once

#include <string>
#include <vector>

struct lua_State;
class cl_Argument;

// Conversions between Lua values and command arguments, and the guard that keeps walks over nested Lua
// tables finite. Every operation here leaves the Lua stack as it found it unless it says it pushes.
namespace LuaValues
{
// Deeper tables are cut off: a script that nests this deep has lost its way, and the C stack must hold.
constexpr int MAX_TABLE_DEPTH = 200;

// The tables a recursive walk is inside of, outermost first. Entering a table that is already on the
// path (a table that contains itself) or one level more than MAX_TABLE_DEPTH is refused with an error
// log, so such a walk ends; entering also makes room on the Lua stack for the next level.
class TablePath
{
public:
    // The table at index (not a pseudo-index). False, logged, when the walk must not go into it.
    bool Enter(lua_State* L, int index);
    // Leaves the table entered last.
    void Leave() { m_tables.pop_back(); }

private:
    std::vector<const void*> m_tables;
};

// The text of the string at index, zero bytes included. A number there is turned into a string in place
// (so not while lua_next walks over it as a key); anything else gives "".
std::string Text(lua_State* L, int index);

// Converts the Lua value at index into out:
//   a number, or a string Lua reads as a number: int when it is whole and fits 32 bits, else double;
//   a boolean: bool; another string: string;
//   a table: a list when its keys, in Lua's traversal order, are 1, 2, 3, ... (numbers or numeric
//   strings; an empty table is a list), else a table of key/value pairs. An entry that cannot be
//   converted (a function, a table that contains itself) stays an empty argument.
// False for nil, functions, userdata and threads, and for a table that cannot be entered; out is then
// untouched.
bool ToArgument(lua_State* L, int index, cl_Argument& out);

// Pushes the value as a Lua value and returns true: bool, number (int or double), string, or a new table
// (a list at keys 1..n, a table pair by pair). Empty and opaque arguments have no Lua value, and neither
// has a list or table holding one anywhere, nor a table key that is not a number (NaN): false, and
// nothing is pushed.
bool PushArgument(lua_State* L, const cl_Argument& value);
} // namespace LuaValues
