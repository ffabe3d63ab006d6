#include "common/ArgumentXml.h"

#include "common/LogCall.h"
#include "common/LuaValues.h"
#include "common/StringHelpers.h"
#include "common/XmlParse.h"
#include "common/cl_ArgList.h"
#include "common/cl_ArgTable.h"

#include <tinyxml.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <string>

namespace
{
// A stored table takes two element levels per level of nesting (`pair`, then `key` or `value`), and a
// save game puts a few more above it: the deepest data written must still be read back.
static_assert(2 * LuaValues::MAX_TABLE_DEPTH + 16 <= MAX_XML_DEPTH, "stored arguments nest too deep to read");

const char* const TYPE = "type";
const char* const VALUE = "value";

TiXmlElement* AppendChild(TiXmlElement& parent, const char* name)
{
    auto* child = new TiXmlElement(name);
    parent.LinkEndChild(child);
    return child;
}

const char* TypeWord(cl_Argument::Type type)
{
    switch (type)
    {
    case cl_Argument::TYPE_INT:
        return "int";
    case cl_Argument::TYPE_DOUBLE:
        return "double";
    case cl_Argument::TYPE_STRING:
        return "string";
    case cl_Argument::TYPE_BOOL:
        return "bool";
    case cl_Argument::TYPE_LIST:
        return "list";
    case cl_Argument::TYPE_TABLE:
        return "table";
    case cl_Argument::TYPE_EMPTY:
    case cl_Argument::TYPE_OPAQUE:
        break;
    }
    return "empty";
}

void ReadAt(const TiXmlElement& element, const char* typeAttribute, const char* valueAttribute,
            cl_Argument& out, int depth)
{
    const char* typeText = element.Attribute(typeAttribute);
    const char* valueText = element.Attribute(valueAttribute);
    const std::string type = typeText ? typeText : "string";
    const std::string value = valueText ? valueText : "";
    if (type == "empty")
    {
        out = cl_Argument();
    }
    else if (type == "int")
    {
        const long number = std::strtol(value.c_str(), nullptr, 10);
        out.SetInt(static_cast<int>(std::clamp<long>(number, INT_MIN, INT_MAX)));
    }
    else if (type == "double")
    {
        out.SetDouble(std::strtod(value.c_str(), nullptr));
    }
    else if (type == "bool")
    {
        out.SetBool(value == "true");
    }
    else if (type == "list" || type == "table")
    {
        if (depth >= LuaValues::MAX_TABLE_DEPTH)
        {
            LOG_ERROR("Stored data nests deeper than %i levels; the deeper part is left out.",
                      LuaValues::MAX_TABLE_DEPTH);
            out = cl_Argument();
            return;
        }
        if (type == "list")
        {
            out.SetList();
            for (const TiXmlElement* item = element.FirstChildElement("item"); item;
                 item = item->NextSiblingElement("item"))
                ReadAt(*item, TYPE, VALUE, *out.GetList()->GetArg(-1), depth + 1);
        }
        else
        {
            out.SetTable();
            for (const TiXmlElement* pair = element.FirstChildElement("pair"); pair;
                 pair = pair->NextSiblingElement("pair"))
            {
                const TiXmlElement* key = pair->FirstChildElement("key");
                const TiXmlElement* entry = pair->FirstChildElement("value");
                cl_ArgTable::Pair* added = out.GetTable()->GetPair(-1);
                if (key)
                    ReadAt(*key, TYPE, VALUE, added->key, depth + 1);
                if (entry)
                    ReadAt(*entry, TYPE, VALUE, added->value, depth + 1);
            }
        }
    }
    else
    {
        if (type != "string")
            LOG_WARNING("Stored data of the unknown type '%s' is read as a string.", type.c_str());
        out.SetString(value);
    }
}
} // namespace

void ArgumentXml::Write(TiXmlElement& element, const cl_Argument& value, const char* typeAttribute,
                        const char* valueAttribute)
{
    element.SetAttribute(typeAttribute, TypeWord(value.GetType()));
    switch (value.GetType())
    {
    case cl_Argument::TYPE_INT:
        element.SetAttribute(valueAttribute, Format("%d", value.GetInt()));
        break;
    case cl_Argument::TYPE_DOUBLE:
        element.SetAttribute(valueAttribute, Format("%.17g", value.GetDouble()));
        break;
    case cl_Argument::TYPE_STRING:
        element.SetAttribute(valueAttribute, value.GetString());
        break;
    case cl_Argument::TYPE_BOOL:
        element.SetAttribute(valueAttribute, value.GetBool() ? "true" : "false");
        break;
    case cl_Argument::TYPE_LIST:
        for (int index = 0; index < value.GetList()->GetSize(); ++index)
            Write(*AppendChild(element, "item"), *value.GetList()->GetArg(index), TYPE, VALUE);
        break;
    case cl_Argument::TYPE_TABLE:
        for (int index = 0; index < value.GetTable()->GetSize(); ++index)
        {
            const cl_ArgTable::Pair* pair = value.GetTable()->GetPair(index);
            TiXmlElement* pairElement = AppendChild(element, "pair");
            Write(*AppendChild(*pairElement, "key"), pair->key, TYPE, VALUE);
            Write(*AppendChild(*pairElement, "value"), pair->value, TYPE, VALUE);
        }
        break;
    case cl_Argument::TYPE_EMPTY:
    case cl_Argument::TYPE_OPAQUE:
        break;
    }
}

void ArgumentXml::Read(const TiXmlElement& element, const char* typeAttribute, const char* valueAttribute,
                       cl_Argument& out)
{
    ReadAt(element, typeAttribute, valueAttribute, out, 0);
}
