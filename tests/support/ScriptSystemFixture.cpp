#include "support/ScriptSystemFixture.h"

#include "common/cl_Argument.h"

#include <lua.hpp>

namespace
{
const char* const MARKER = "stack marker";
}

void ScriptSystemFixture::SetUp()
{
    L = m_system.GetLuaState();
    ASSERT_NE(L, nullptr);
    lua_pushstring(L, MARKER);
}

void ScriptSystemFixture::TearDown()
{
    ExpectBalanced();
}

void ScriptSystemFixture::ExpectBalanced() const
{
    ASSERT_EQ(lua_gettop(L), 1);
    const char* marker = lua_tostring(L, 1);
    EXPECT_STREQ(marker, MARKER);
}

cl_ArgList ScriptSystemFixture::Results(const std::string& code)
{
    cl_ArgList results;
    EXPECT_TRUE(m_system.ExecuteString(code, results)) << code;
    ExpectBalanced();
    return results;
}

bool ScriptSystemFixture::IsTrue(const std::string& expression)
{
    cl_ArgList results = Results("return (" + expression + ") == true");
    return results.GetSize() == 1 && results.GetArg(0)->GetType() == cl_Argument::TYPE_BOOL &&
           results.GetArg(0)->GetBool();
}

std::string ScriptSystemFixture::Value(const std::string& expression)
{
    // Prefixed, since a string that reads as a number would come back as a number.
    cl_ArgList results = Results("return '=' .. tostring(" + expression + ")");
    if (results.GetSize() != 1 || results.GetArg(0)->GetType() != cl_Argument::TYPE_STRING)
        return "(no value)";
    return results.GetArg(0)->GetString().substr(1);
}

void ScriptSystemFixture::Run(const std::string& code)
{
    EXPECT_TRUE(m_system.ExecuteString(code)) << code;
    ExpectBalanced();
}
