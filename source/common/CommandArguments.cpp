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
    case 'n':
        return argument != nullptr;
    case 'o':
        return !argument || argument->GetType() == cl_Argument::TYPE_STRING;
    case 's':
        return argument && argument->GetType() == cl_Argument::TYPE_STRING;
    case 'i':
        return argument && (argument->GetType() == cl_Argument::TYPE_INT ||
                            argument->GetType() == cl_Argument::TYPE_DOUBLE);
    case 'b':
        return argument && argument->GetType() == cl_Argument::TYPE_BOOL;
    default:
        return false;
    }
}
} // namespace

bool CheckArguments(const cl_Command& cmd, const char* receiver, const std::string& kinds)
{
    std::string letters = kinds;
    const int count = cmd.m_arguments.GetSize();
    const bool exact = !letters.empty() && letters.back() == '=';
    if (exact)
        letters.pop_back();
    const size_t bar = letters.find('|');
    if (bar != std::string::npos)
    {
        const std::string whole = letters.substr(0, bar) + letters.substr(bar + 1);
        letters = count == static_cast<int>(whole.size()) ? whole : letters.substr(0, bar);
    }
    if (exact && count != static_cast<int>(letters.size()))
    {
        LOG_WARNING("%s %s takes exactly %i arguments, not %i; the command is refused.", receiver,
                    cmd.m_name.c_str(), static_cast<int>(letters.size()), count);
        return false;
    }
    for (size_t index = 0; index < letters.size(); ++index)
    {
        if (!Fits(cmd.m_arguments.GetArg(static_cast<int>(index)), letters[index]))
        {
            LOG_WARNING("%s %s: argument %i is missing or of the wrong kind; the command is refused.",
                        receiver, cmd.m_name.c_str(), static_cast<int>(index));
            return false;
        }
    }
    return true;
}

std::string StringArgument(const cl_Command& cmd, int index)
{
    const cl_Argument* argument = cmd.m_arguments.GetArg(index);
    return argument && argument->GetType() == cl_Argument::TYPE_STRING ? argument->GetString()
                                                                       : std::string();
}
