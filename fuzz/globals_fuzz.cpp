// The script variables of a save game are a file a player can edit: any bytes must load into "_globals"
// and be written out again without harm, and what is written must read back as the same values.
#include "common/XmlParse.h"
#include "common/cl_ArgList.h"
#include "common/cl_Argument.h"
#include "common/cl_LuaScriptSystem.h"

#include <lua.hpp>
#include <tinyxml.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace
{
// same(a, b): equal types and values, tables entry by entry (NaN equals NaN here).
const char* const SAME = R"(
function same(a, b)
    if type(a) ~= type(b) then return false end
    if type(a) ~= 'table' then return a == b or (a ~= a and b ~= b) end
    for k, v in pairs(a) do if not same(v, rawget(b, k)) then return false end end
    for k in pairs(b) do if rawget(a, k) == nil then return false end end
    return true
end)";

cl_LuaScriptSystem& Scripts()
{
    static cl_LuaScriptSystem* scripts = []
    {
        TiXmlBase::SetCondenseWhiteSpace(false);
        auto* made = new cl_LuaScriptSystem();
        made->ExecuteString(SAME);
        return made;
    }();
    return *scripts;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    cl_LuaScriptSystem& scripts = Scripts();
    lua_State* L = scripts.GetLuaState();
    const std::string text(reinterpret_cast<const char*>(data), size);
    TiXmlDocument document;
    ParseXml(document, text, "fuzz input");
    const TiXmlElement* root = document.RootElement();
    if (!root)
        return 0;

    const int height = lua_gettop(L);
    scripts.GlobalsFromXml(*root);
    scripts.ExecuteString("loaded = _globals");
    TiXmlElement saved("databinding");
    scripts.GlobalsToXml(saved);

    // Through text, as a save file goes.
    TiXmlDocument reread;
    ParseXml(reread, PrintXml(saved), "the written globals");
    if (reread.Error() || !reread.RootElement())
        __builtin_trap();
    scripts.GlobalsFromXml(*reread.RootElement());
    cl_ArgList same;
    if (!scripts.ExecuteString("return same(loaded, _globals)", same) || !same.GetArg(0)->GetBool())
        __builtin_trap();
    if (lua_gettop(L) != height)
        __builtin_trap();
    return 0;
}
