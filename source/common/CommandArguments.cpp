#include "common/CommandArguments.h"

#include "common/LogCall.h"
#include "common/cl_Command.h"

#include <cstring>

namespace
{
// The text of the argument list item at the start of item, without the spaces around it.
std::string ItemText(const char* item)
{
    const size_t length = std::strcspn(item, ",");
    size_t begin = 0;
    size_t end = length;
    while (begin < end && item[begin] == ' ')
        ++begin;
    while (end > begin && item[end - 1] == ' ')
        --end;
    return std::string(item + begin, end - begin);
}
} // namespace

bool CommandArguments::Require(const char* arguments) const
{
    const int given = Count();
    const char* item = arguments;
    for (int index = 0; *item; ++index)
    {
        item += std::strspn(item, " ");
        if (*item == '[')
            return true;
        if (index >= given)
        {
            LOG_WARNING("Receiver '%s' refused the command '%s': the argument '%s' is missing.", m_receiver,
                        m_cmd.m_name.c_str(), ItemText(item).c_str());
            return false;
        }
        item += std::strcspn(item, ",");
        if (*item == ',')
            ++item;
    }
    return true;
}

bool CommandArguments::IsNamed(const char* name) const
{
    return m_cmd.m_name == name;
}

void CommandArguments::WarnUnknown() const
{
    LOG_WARNING("Receiver '%s' has no command '%s'.", m_receiver, m_cmd.m_name.c_str());
}

int CommandArguments::Count() const
{
    return m_cmd.m_arguments.GetSize();
}

bool CommandArguments::Has(int index) const
{
    return m_cmd.m_arguments.GetArg(index) != nullptr;
}

std::string CommandArguments::String(int index) const
{
    return Has(index) ? Any(index).GetString() : std::string();
}

int CommandArguments::Int(int index) const
{
    return Has(index) ? Any(index).GetInt() : 0;
}

double CommandArguments::Double(int index) const
{
    return Has(index) ? Any(index).GetDouble() : 0.0;
}

float CommandArguments::Float(int index) const
{
    return static_cast<float>(Double(index));
}

bool CommandArguments::Bool(int index) const
{
    return Has(index) && Any(index).GetBool();
}

const cl_Argument& CommandArguments::Any(int index) const
{
    static const cl_Argument EMPTY;
    const cl_Argument* argument = m_cmd.m_arguments.GetArg(index);
    return argument ? *argument : EMPTY;
}
