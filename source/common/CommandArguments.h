#pragma once

#include <string>

class cl_Command;

// Checks a command's arguments before a receiver reads them, one letter of kinds per argument:
//   's' a string; 'o' an optional string (may be absent); 'i' an int or a double; 'b' a bool;
//   'a' anything, may be absent.
// Fewer arguments than the required letters, or an argument of another kind, is refused: a warning naming
// the receiver and the command, and false. Arguments beyond the letters are not looked at.
bool CheckArguments(const cl_Command& cmd, const char* receiver, const char* kinds);
// The string argument at index; empty when it is absent or holds no string.
std::string StringArgument(const cl_Command& cmd, int index);
