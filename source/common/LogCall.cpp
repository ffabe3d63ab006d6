#include "common/LogCall.h"

#include "common/StringHelpers.h"

#include <cstdarg>
#include <cstring>

namespace LogCall
{
std::string SourcePath(const char* file)
{
    std::string path = file;
    const std::string root = QUILLMERE_SOURCE_ROOT;
    if (path.compare(0, root.size(), root) == 0)
        path.erase(0, root.size());
    // A compiler launcher (ccache with a base folder) may hand the compiler paths relative to the build
    // folder.
    while (path.compare(0, 3, "../") == 0 || path.compare(0, 2, "./") == 0)
        path.erase(0, path[1] == '.' ? 3 : 2);
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
        path.erase(dot);
    for (char& character : path)
    {
        if (character == '/')
            character = '\\';
    }
    return path;
}

std::string QualifiedName(const char* prettyFunction)
{
    std::string name = prettyFunction;
    // g++ and clang++ spell the anonymous namespace differently, and clang's holds a '(' and a blank.
    ReplaceAll(name, "(anonymous namespace)::", "");
    ReplaceAll(name, "{anonymous}::", "");
    const size_t parenthesis = name.find('(');
    if (parenthesis != std::string::npos)
        name.erase(parenthesis);
    const size_t space = name.find_last_of(' ');
    if (space != std::string::npos)
        name.erase(0, space + 1);
    // clang writes a returned pointer or reference against the name: "const Foo *Bar::Get".
    name.erase(0, name.find_first_not_of("*&"));
    // Keep the class and the operation; namespaces around them only lengthen the line.
    const size_t lastScope = name.rfind("::");
    if (lastScope != std::string::npos && lastScope > 0)
    {
        const size_t classScope = name.rfind("::", lastScope - 1);
        if (classScope != std::string::npos)
            name.erase(0, classScope + 2);
    }
    return name;
}

bool Write(int level, const char* file, int line, const char* function, const std::string& message)
{
    cl_Logger* logger = cl_Logger::GetInstance();
    if (!logger)
        return false;
    return logger->Log(Format("%s -> %s(%i) <%s>", message.c_str(), SourcePath(file).c_str(), line,
                              QualifiedName(function).c_str()),
                       level);
}

bool Write(int level, const char* file, int line, const char* function, const char* format, ...)
{
    if (!cl_Logger::GetInstance())
        return false;
    va_list arguments;
    va_start(arguments, format);
    const std::string message = FormatV(format, arguments);
    va_end(arguments);
    return Write(level, file, line, function, message);
}
} // namespace LogCall
