#pragma once

namespace platform
{
// Reads and writes numbers with '.' whatever the user's locale: data files and save games depend on it.
// The program entry calls it before anything reads a number.
void UseCNumericLocale();
} // namespace platform
