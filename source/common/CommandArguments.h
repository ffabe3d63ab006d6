#pragma once

#include <string>

class cl_Command;

// Checks a command's arguments before a receiver reads them, one letter of kinds per argument:
//   's' a string; 'o' an optional string (may be absent); 'i' an int or a double; 'b' a bool;
//   'a' anything, may be absent; 'n' anything, but present.
// Letters after a '|' are read only when exactly that many arguments are given (otherwise they are not
// looked at); a trailing '=' asks for exactly as many arguments as letters.
// Fewer arguments than the required letters, another count where '=' asks for one, or an argument of
// another kind is refused: a warning naming the receiver and the command, and false. Other arguments
// beyond the letters are not looked at.
bool CheckArguments(const cl_Command& cmd, const char* receiver, const std::string& kinds);
// The string argument at index; empty when it is absent or holds no string.
std::string StringArgument(const cl_Command& cmd, int index);
