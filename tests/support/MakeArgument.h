#pragma once

#include "common/cl_Argument.h"

#include <string>

// A command argument of the value's kind, for building commands and parameters in tests.
cl_Argument MakeArgument(int value);
cl_Argument MakeArgument(double value);
cl_Argument MakeArgument(bool value);
cl_Argument MakeArgument(const std::string& text);
cl_Argument MakeArgument(const char* text);
