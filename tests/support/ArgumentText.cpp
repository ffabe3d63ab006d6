#include "support/ArgumentText.h"

#include "common/StringHelpers.h"
#include "common/cl_ArgList.h"
#include "common/cl_ArgTable.h"
#include "common/cl_Argument.h"
#include "common/cl_ScriptSystem.h"

#include <gtest/gtest.h>

std::string ArgumentText(const cl_Argument& argument)
{
    switch (argument.GetType())
    {
    case cl_Argument::TYPE_EMPTY:
        return "empty";
    case cl_Argument::TYPE_INT:
        return "int " + std::to_string(argument.GetInt());
    case cl_Argument::TYPE_DOUBLE:
        return Format("double %.17g", argument.GetDouble());
    case cl_Argument::TYPE_STRING:
        return "string " + argument.GetString();
    case cl_Argument::TYPE_BOOL:
        return argument.GetBool() ? "bool true" : "bool false";
    case cl_Argument::TYPE_OPAQUE:
        return "opaque";
    case cl_Argument::TYPE_LIST:
    {
        const cl_ArgList& list = *argument.GetList();
        std::string text = "[";
        for (int i = 0; i < list.GetSize(); ++i)
            text += (i ? ", " : "") + ArgumentText(*list.GetArg(i));
        return text + "]";
    }
    case cl_Argument::TYPE_TABLE:
    {
        const cl_ArgTable& table = *argument.GetTable();
        std::string text = "{";
        for (int i = 0; i < table.GetSize(); ++i)
        {
            const cl_ArgTable::Pair& pair = *table.GetPair(i);
            text += (i ? ", " : "") + ArgumentText(pair.key) + ": " + ArgumentText(pair.value);
        }
        return text + "}";
    }
    }
    return "unknown";
}

std::string ReturnedText(const std::string& code)
{
    cl_ArgList results;
    EXPECT_TRUE(cl_ScriptSystem::GetInstance()->ExecuteString(code, results)) << code;
    // The script system hands the last returned value first.
    std::string text;
    for (int i = results.GetSize() - 1; i >= 0; --i)
        text += (text.empty() ? "" : ", ") + ArgumentText(*results.GetArg(i));
    return text;
}
