#pragma once

#include <string>

class cl_PuppetControl;

// Warns, naming the control, its puppet and the path, when the path of the control's data leads to no clip
// of the puppet: the control will play nothing there. Controls check their paths when they read them.
void WarnIfNoClip(const cl_PuppetControl& control, const std::string& path);
