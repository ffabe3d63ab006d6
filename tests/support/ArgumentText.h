#pragma once

#include <string>

class cl_Argument;

// A command argument as one line of text, to compare whole values in tests: "empty", "int 3",
// "double 2.5", "string x", "bool true", "opaque", "[int 1, int 2]" for a list and
// "{string a: int 1}" for a table (pairs in their order).
std::string ArgumentText(const cl_Argument& argument);

// What the Lua chunk returns when the living script system runs it: each value as ArgumentText, first to
// last, joined by ", ". A chunk that fails fails the test.
std::string ReturnedText(const std::string& code);
