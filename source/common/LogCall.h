#pragma once

#include "common/cl_Logger.h"

#include <string>

// The one way code logs. A call formats its message (printf-style; a std::string message is used as it
// stands, so data that holds '%' is safe), then writes the line
//     "<message> -> <source path>(<line>) <<Class::Operation>>"
// with its level to the logger. Without a logger nothing happens.
//
//     LOG_ERROR("Couldn't open %s", name.c_str());
//     LOG_WARNING(someText);
//     LOG_LEVEL(cl_Logger::LEVEL_INFO | cl_Logger::TOPIC_DIALOG, "topic %s", id.c_str());
#define LOG_LEVEL(level, ...) ::LogCall::Write((level), __FILE__, __LINE__, __PRETTY_FUNCTION__, __VA_ARGS__)
#define LOG_ERROR(...) LOG_LEVEL(cl_Logger::LEVEL_ERROR, __VA_ARGS__)
#define LOG_WARNING(...) LOG_LEVEL(cl_Logger::LEVEL_WARNING, __VA_ARGS__)
#define LOG_INFO(...) LOG_LEVEL(cl_Logger::LEVEL_INFO, __VA_ARGS__)

namespace LogCall
{
bool Write(int level, const char* file, int line, const char* function, const std::string& message);
bool Write(int level, const char* file, int line, const char* function, const char* format, ...)
    __attribute__((format(printf, 5, 6)));

// "source/common/cl_Argument.cpp" below the project root becomes "source\common\cl_Argument".
std::string SourcePath(const char* file);
// "bool cl_Argument::GetBool() const" becomes "cl_Argument::GetBool"; enclosing namespaces are dropped.
std::string QualifiedName(const char* prettyFunction);
} // namespace LogCall
