#pragma once

#include "common/cl_ArgList.h"
#include "common/cl_LuaScriptSystem.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <string>

struct lua_State;

// A test with a living Lua script system and a log capture. A marker value lies on the Lua stack for the
// whole test, so an operation that pops or pushes one value too many shows: ExpectBalanced checks it
// (the fixture does so at the end of every test as well).
class ScriptSystemFixture : public testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Whether the stack holds exactly the marker.
    void ExpectBalanced() const;
    // The results of the chunk (last returned value first); a failing chunk fails the test.
    cl_ArgList Results(const std::string& code);
    // Whether the Lua expression is true (exactly the boolean true).
    bool IsTrue(const std::string& expression);
    // The value of the expression as Lua's tostring gives it ("nil", "1", "door").
    std::string Value(const std::string& expression);
    // Runs the chunk; a failing chunk fails the test.
    void Run(const std::string& code);

    LogCapture m_capture;
    cl_LuaScriptSystem m_system;
    lua_State* L = nullptr;
};
