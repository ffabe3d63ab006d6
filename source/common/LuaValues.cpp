#include "common/LuaValues.h"

#include "common/LogCall.h"
#include "common/cl_ArgList.h"
#include "common/cl_ArgTable.h"
#include "common/cl_Argument.h"

#include <lua.hpp>

#include <algorithm>
#include <climits>
#include <cmath>
#include <string>

namespace LuaValues
{
namespace
{
// Room a walk needs for one more level: the key and the value of an entry, and a nested table.
constexpr int SLOTS_PER_LEVEL = 4;

int AbsoluteIndex(lua_State* L, int index)
{
    return index > 0 ? index : lua_gettop(L) + index + 1;
}

void SetNumber(double number, cl_Argument& out)
{
    // Whole numbers beyond 32 bits stay doubles rather than wrap. Within the range the truncated value
    // equals the number exactly when it is whole (and NaN fails the range test).
    if (number >= INT_MIN && number <= INT_MAX && number == static_cast<double>(static_cast<int>(number)))
        out.SetInt(static_cast<int>(number));
    else
        out.SetDouble(number);
}

// Whether the keys of the table, in traversal order, are 1, 2, 3, ...
bool IsList(lua_State* L, int table)
{
    lua_Number expected = 1;
    lua_pushnil(L);
    while (lua_next(L, table) != 0)
    {
        lua_pop(L, 1);
        // lua_tonumber reads a numeric string key without changing it, which lua_next relies on.
        if (!lua_isnumber(L, -1) || lua_tonumber(L, -1) != expected)
        {
            lua_pop(L, 1);
            return false;
        }
        expected += 1;
    }
    return true;
}

// False when Lua cannot read the text as a number: its reading (strtod) needs, after blanks and a sign,
// a digit, a point, "inf" or "nan". Words and ids are told apart here, without strtod, which would cost
// more than the rest of their conversion. Blanks are those of the "C" character types, which the program
// keeps.
bool MayBeNumber(const char* text)
{
    while (*text == ' ' || (*text >= '\t' && *text <= '\r'))
        ++text;
    if (*text == '+' || *text == '-')
        ++text;
    const auto lower = [](char c) { return static_cast<char>(c | 0x20); };
    switch (lower(*text))
    {
    case 'i':
        return lower(text[1]) == 'n' && lower(text[2]) == 'f';
    case 'n':
        return lower(text[1]) == 'a' && lower(text[2]) == 'n';
    case '.':
        return true;
    default:
        return std::isdigit(static_cast<unsigned char>(*text)) != 0;
    }
}

bool Convert(lua_State* L, int index, cl_Argument& out, TablePath& path);

bool ConvertTable(lua_State* L, int table, cl_Argument& out, TablePath& path)
{
    if (!path.Enter(L, table))
        return false;
    const bool list = IsList(L, table);
    if (list)
        out.SetList();
    else
        out.SetTable();
    lua_pushnil(L);
    while (lua_next(L, table) != 0)
    {
        if (list)
        {
            Convert(L, -1, *out.GetList()->GetArg(-1), path);
        }
        else
        {
            cl_ArgTable::Pair& pair = *out.GetTable()->GetPair(-1);
            Convert(L, -2, pair.key, path);
            Convert(L, -1, pair.value, path);
        }
        lua_pop(L, 1);
    }
    path.Leave();
    return true;
}

bool Convert(lua_State* L, int index, cl_Argument& out, TablePath& path)
{
    switch (lua_type(L, index))
    {
    case LUA_TNUMBER:
        SetNumber(lua_tonumber(L, index), out);
        return true;
    case LUA_TSTRING:
    {
        size_t length = 0;
        const char* text = lua_tolstring(L, index, &length);
        if (MayBeNumber(text) && lua_isnumber(L, index))
            SetNumber(lua_tonumber(L, index), out);
        else
            out.SetString(std::string_view(text, length));
        return true;
    }
    case LUA_TBOOLEAN:
        out.SetBool(lua_toboolean(L, index) != 0);
        return true;
    case LUA_TTABLE:
        return ConvertTable(L, AbsoluteIndex(L, index), out, path);
    default:
        return false;
    }
}

// A number key must be a real number: Lua raises an error (outside any protection here) for NaN.
bool IsValidKey(lua_State* L, int index)
{
    return lua_type(L, index) != LUA_TNUMBER || !std::isnan(lua_tonumber(L, index));
}
} // namespace

bool TablePath::Enter(lua_State* L, int index)
{
    const void* table = lua_topointer(L, index);
    if (std::find(m_tables.begin(), m_tables.end(), table) != m_tables.end())
    {
        LOG_ERROR("A table that contains itself is cut off where it repeats.");
        return false;
    }
    if (m_tables.size() >= static_cast<size_t>(MAX_TABLE_DEPTH))
    {
        LOG_ERROR("Tables nested deeper than %i levels are cut off.", MAX_TABLE_DEPTH);
        return false;
    }
    if (!lua_checkstack(L, SLOTS_PER_LEVEL))
    {
        LOG_ERROR("No room on the Lua stack for a nested table; it is cut off.");
        return false;
    }
    m_tables.push_back(table);
    return true;
}

std::string Text(lua_State* L, int index)
{
    size_t length = 0;
    const char* text = lua_tolstring(L, index, &length);
    return text ? std::string(text, length) : std::string();
}

bool ToArgument(lua_State* L, int index, cl_Argument& out)
{
    TablePath path;
    return Convert(L, index, out, path);
}

bool PushArgument(lua_State* L, const cl_Argument& value)
{
    if (!lua_checkstack(L, SLOTS_PER_LEVEL))
        return false;
    switch (value.GetType())
    {
    case cl_Argument::TYPE_EMPTY:
    case cl_Argument::TYPE_OPAQUE:
        return false;
    case cl_Argument::TYPE_INT:
        lua_pushnumber(L, value.GetInt());
        return true;
    case cl_Argument::TYPE_DOUBLE:
        lua_pushnumber(L, value.GetDouble());
        return true;
    case cl_Argument::TYPE_STRING:
    {
        const std::string text = value.GetString();
        lua_pushlstring(L, text.data(), text.size());
        return true;
    }
    case cl_Argument::TYPE_BOOL:
        lua_pushboolean(L, value.GetBool());
        return true;
    case cl_Argument::TYPE_LIST:
    {
        const cl_ArgList& list = *value.GetList();
        lua_createtable(L, list.GetSize(), 0);
        for (int i = 0; i < list.GetSize(); ++i)
        {
            if (!PushArgument(L, *list.GetArg(i)))
            {
                lua_pop(L, 1);
                return false;
            }
            lua_rawseti(L, -2, i + 1);
        }
        return true;
    }
    case cl_Argument::TYPE_TABLE:
    {
        const cl_ArgTable& table = *value.GetTable();
        lua_createtable(L, 0, table.GetSize());
        for (int i = 0; i < table.GetSize(); ++i)
        {
            const cl_ArgTable::Pair& pair = *table.GetPair(i);
            if (!PushArgument(L, pair.key))
            {
                lua_pop(L, 1);
                return false;
            }
            if (!IsValidKey(L, -1) || !PushArgument(L, pair.value))
            {
                lua_pop(L, 2);
                return false;
            }
            lua_rawset(L, -3);
        }
        return true;
    }
    }
    return false;
}
} // namespace LuaValues
