#pragma once

#include <string>

// What the temporary file's name adds to the file's path.
constexpr const char* TEMPORARY_SUFFIX = ".tmp";

// Writes contents to a temporary file beside path and renames it over path only when the whole write
// succeeded, so a failed write (full disk, blocked name) leaves the old file as it was. A failure is
// logged with the file name and gives false.
bool WriteFileSafely(const std::string& path, const std::string& contents);
