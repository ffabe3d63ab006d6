#pragma once

#include <string>

// part written times times one after another ("" for 0 times).
std::string Repeat(const std::string& part, int times);
