#pragma once

#include <string>

class cl_VisualStateHolder;

// Reads the `visualstates` element of the XML text into holder, as an object's loader does.
void ReadVisualStates(cl_VisualStateHolder& holder, const std::string& text);
