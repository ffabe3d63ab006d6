#include "common/LuaGlobalsXml.h"

#include "common/LogCall.h"
#include "common/LuaValues.h"
#include "common/StringHelpers.h"

#include <lua.hpp>
#include <tinyxml.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <string>

namespace LuaGlobalsXml
{
namespace
{
// The name and attributes under which an entry's key is written.
struct Key
{
    std::string name;
    const char* type = nullptr;
    bool hasText = false;
    std::string text; // the attribute K, when hasText
};

std::string ExactNumberText(lua_Number number)
{
    return Format("%.17g", number);
}

// What the reader of this file takes for an element name: a letter or '_', then letters, digits, '_',
// '-' and '.'. Other bytes (':' included, and anything beyond ASCII) go into the K attribute instead.
bool IsElementName(const std::string& text)
{
    if (text.empty())
        return false;
    const auto isLetter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; };
    if (!isLetter(text[0]))
        return false;
    for (char c : text)
    {
        if (!isLetter(c) && !(c >= '0' && c <= '9') && c != '-' && c != '.')
            return false;
    }
    return true;
}

// Classes the key by its Lua type; false for keys of any other type.
bool DescribeKey(lua_State* L, int index, Key& key)
{
    switch (lua_type(L, index))
    {
    case LUA_TNUMBER:
    {
        const lua_Number number = lua_tonumber(L, index);
        key.type = "N";
        key.name = Format("n%f", number);
        if (std::strtod(key.name.c_str() + 1, nullptr) != number)
        {
            key.name = "k";
            key.hasText = true;
            key.text = ExactNumberText(number);
        }
        return true;
    }
    case LUA_TSTRING:
        key.type = "S";
        key.name = LuaValues::Text(L, index);
        if (!IsElementName(key.name))
        {
            key.hasText = true;
            key.text = key.name;
            key.name = "k";
        }
        return true;
    default:
        return false;
    }
}

TiXmlElement* AppendEntry(TiXmlElement& parent, const Key& key, const char* valueType)
{
    auto* element = new TiXmlElement(key.name);
    element->SetAttribute("I", key.type);
    element->SetAttribute("V", valueType);
    if (key.hasText)
        element->SetAttribute("K", key.text);
    parent.LinkEndChild(element);
    return element;
}

void AppendText(TiXmlElement& element, const std::string& text)
{
    if (text.empty())
        return;
    auto* node = new TiXmlText(text);
    // The parser drops text that is only white space (as isspace sees it); inside CDATA it stays.
    node->SetCDATA(
        std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isspace(c) != 0; }));
    element.LinkEndChild(node);
}

void WriteEntries(lua_State* L, int table, TiXmlElement& element, LuaValues::TablePath& path);

// The entry whose key is at -2 and whose value is at -1.
void WriteEntry(lua_State* L, TiXmlElement& parent, LuaValues::TablePath& path)
{
    Key key;
    if (!DescribeKey(L, -2, key))
        return;
    switch (lua_type(L, -1))
    {
    case LUA_TNUMBER:
        AppendText(*AppendEntry(parent, key, "N"), ExactNumberText(lua_tonumber(L, -1)));
        break;
    case LUA_TBOOLEAN:
        AppendText(*AppendEntry(parent, key, "B"), lua_toboolean(L, -1) ? "true" : "false");
        break;
    case LUA_TSTRING:
        AppendText(*AppendEntry(parent, key, "S"), LuaValues::Text(L, -1));
        break;
    case LUA_TTABLE:
    {
        const int table = lua_gettop(L);
        if (!path.Enter(L, table))
            break;
        WriteEntries(L, table, *AppendEntry(parent, key, "T"), path);
        path.Leave();
        break;
    }
    default:
        break;
    }
}

void WriteEntries(lua_State* L, int table, TiXmlElement& element, LuaValues::TablePath& path)
{
    lua_pushnil(L);
    while (lua_next(L, table) != 0)
    {
        WriteEntry(L, element, path);
        lua_pop(L, 1);
    }
}

// Pushes the key of the entry: from K when the element has it, else from its name ("n<number>" for a
// number key). False, with nothing pushed, for a number key a table cannot hold (NaN).
bool PushKey(lua_State* L, const TiXmlElement& element, bool isNumber)
{
    const std::string* keyText = element.Attribute(std::string("K"));
    std::string text = keyText ? *keyText : element.ValueStr();
    if (!isNumber)
    {
        lua_pushlstring(L, text.data(), text.size());
        return true;
    }
    if (!keyText && !text.empty())
        text.erase(0, 1);
    const double number = std::atof(text.c_str());
    if (std::isnan(number))
    {
        LOG_ERROR("The _globals entry '%s' has no number for a key; it is passed over.",
                  element.ValueStr().c_str());
        return false;
    }
    lua_pushnumber(L, number);
    return true;
}

enum class ValueKind
{
    NONE,
    TABLE,
    BOOLEAN,
    NUMBER,
    STRING,
};

ValueKind KindOf(const TiXmlElement& element, char keyType)
{
    const char* valueAttribute = element.Attribute("V");
    const char valueType = valueAttribute ? valueAttribute[0] : '\0';
    const TiXmlNode* first = element.FirstChild();
    // A table with entries, whatever V says.
    if (first && first->ToElement())
        return ValueKind::TABLE;
    // A value carried as text.
    if (first)
    {
        if (keyType != 'N' && keyType != 'S')
            return ValueKind::NONE;
        switch (valueType)
        {
        case 'B':
            return ValueKind::BOOLEAN;
        case 'N':
            return ValueKind::NUMBER;
        case 'S':
            return ValueKind::STRING;
        default:
            return ValueKind::NONE;
        }
    }
    // No child at all: an empty table, or the empty string (which older saves wrote but did not restore).
    if (valueType == 'T')
        return ValueKind::TABLE;
    if (valueType == 'S')
        return ValueKind::STRING;
    return ValueKind::NONE;
}

void ReadEntries(lua_State* L, const TiXmlElement& element, LuaValues::TablePath& path);

// Stores the entry of element in the table on top of the stack, or passes it over.
void ReadEntry(lua_State* L, const TiXmlElement& element, LuaValues::TablePath& path)
{
    const char* keyAttribute = element.Attribute("I");
    if (!keyAttribute)
        return;
    const char keyType = keyAttribute[0];
    const ValueKind kind = KindOf(element, keyType);
    if (kind == ValueKind::NONE || !PushKey(L, element, keyType == 'N'))
        return;
    if (kind == ValueKind::TABLE)
    {
        lua_newtable(L);
        const int table = lua_gettop(L);
        if (!path.Enter(L, table))
        {
            lua_pop(L, 2);
            return;
        }
        ReadEntries(L, element, path);
        path.Leave();
    }
    else
    {
        const TiXmlNode* first = element.FirstChild();
        const TiXmlText* textNode = first ? first->ToText() : nullptr;
        const std::string text = textNode ? textNode->ValueStr() : std::string();
        if (kind == ValueKind::BOOLEAN)
            lua_pushboolean(L, text == "true");
        else if (kind == ValueKind::NUMBER)
            lua_pushnumber(L, std::atof(text.c_str()));
        else
            lua_pushlstring(L, text.data(), text.size());
    }
    lua_rawset(L, -3);
}

void ReadEntries(lua_State* L, const TiXmlElement& element, LuaValues::TablePath& path)
{
    for (const TiXmlElement* child = element.FirstChildElement(); child; child = child->NextSiblingElement())
        ReadEntry(L, *child, path);
}
} // namespace

void WriteGlobals(lua_State* L, int index, TiXmlElement& parent)
{
    LuaValues::TablePath path;
    if (!path.Enter(L, index))
        return;
    const Key key{"_globals", "S", false, std::string()};
    WriteEntries(L, index, *AppendEntry(parent, key, "T"), path);
}

void PushTable(lua_State* L, const TiXmlElement& element)
{
    lua_newtable(L);
    const int table = lua_gettop(L);
    LuaValues::TablePath path;
    if (path.Enter(L, table))
        ReadEntries(L, element, path);
}
} // namespace LuaGlobalsXml
