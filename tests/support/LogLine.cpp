#include "support/LogLine.h"

#include <cctype>

std::string WithoutLineNumber(const std::string& line)
{
    // The call site is the last "(digits)" before the function name in angle brackets.
    const size_t function = line.rfind(") <");
    if (function == std::string::npos)
        return line;
    size_t open = function;
    while (open > 0 && std::isdigit(static_cast<unsigned char>(line[open - 1])))
        --open;
    if (open == function || open == 0 || line[open - 1] != '(')
        return line;
    return line.substr(0, open) + "#" + line.substr(function);
}
