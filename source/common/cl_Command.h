#pragma once

#include "common/cl_ArgList.h"

#include <string>

// One command on its way to a receiver. The sender builds it (usually on its stack), fills the name and
// the arguments, sends it through the command distributor and then reads what the receiver appended to
// the results; the receiver reads the name and the arguments and appends results with GetArg(-1).
class cl_Command
{
public:
    cl_Command() = default;
    explicit cl_Command(const std::string& name) : m_name(name) {}
    virtual ~cl_Command() = default;

    std::string GetName() const { return m_name; }

    cl_ArgList m_arguments;
    cl_ArgList m_results;
    // Compared by receivers as a whole, case-sensitive word.
    std::string m_name;
};
