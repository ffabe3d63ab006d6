#pragma once

#include <string>

namespace platform
{
// Tells the user that the program cannot go on: writes caption and text to standard error and, when a
// logger exists, an error log line. Returns at once (no dialog waits for the user); ending the program
// is the caller's decision.
void ShowFatalError(const std::string& caption, const std::string& text);

// Tells the user of a problem the program goes on with, such as a data folder that is missing: one line
// on standard error and a warning log line.
void ShowWarning(const std::string& text);
} // namespace platform
