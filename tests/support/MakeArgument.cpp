#include "support/MakeArgument.h"

cl_Argument MakeArgument(int value)
{
    cl_Argument argument;
    argument.SetInt(value);
    return argument;
}

cl_Argument MakeArgument(double value)
{
    cl_Argument argument;
    argument.SetDouble(value);
    return argument;
}

cl_Argument MakeArgument(bool value)
{
    cl_Argument argument;
    argument.SetBool(value);
    return argument;
}

cl_Argument MakeArgument(const std::string& text)
{
    cl_Argument argument;
    argument.SetString(text);
    return argument;
}

cl_Argument MakeArgument(const char* text)
{
    return MakeArgument(std::string(text));
}
