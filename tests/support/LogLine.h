#pragma once

#include <string>

// A log line with the number of its source line replaced by '#', so that tests can compare whole lines:
// "text -> source\common\cl_Foo(123) <cl_Foo::Bar>" becomes "text -> source\common\cl_Foo(#) <cl_Foo::Bar>".
std::string WithoutLineNumber(const std::string& line);
