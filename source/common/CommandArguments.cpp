#include "common/CommandArguments.h"

#include "common/LogCall.h"
#include "common/cl_Command.h"

namespace
{
bool Fits(const cl_Argument* argument, char kind)
{
    switch (kind)
    {
    case 'a':
        return true;
    case 'o':
        return !argument || argument->GetType() == cl_Argument::TYPE_STRING;
    case 's':
        return argument && argument->GetType() == cl_Argument::TYPE_STRING;
    case 'i':
        return argument &&
               (argument->GetType() == cl_Argument::TYPE_INT || argument->GetType() == cl_Argument::TYPE_DOUBLE);
    case 'b':
        return argument && argument->GetType() == cl_Argument::TYPE_BOOL;
    default:
        return false;
    }
}
} // namespace

bool CheckArguments(const cl_Command& cmd, const char* receiver, const char* kinds)
{
    for (int index = 0; kinds[index] != '\0'; ++index)
    {
        if (!Fits(cmd.m_arguments.GetArg(index), kinds[index]))
        {
            LOG_WARNING("%s %s: argument %i is missing or of the wrong kind; the command is refused.", receiver,
                        cmd.m_name.c_str(), index);
            return false;
        }
    }
    return true;
}

std::string StringArgument(const cl_Command& cmd, int index)
{
    const cl_Argument* argument = cmd.m_arguments.GetArg(index);
    return argument && argument->GetType() == cl_Argument::TYPE_STRING ? argument->GetString() : std::string();
}
