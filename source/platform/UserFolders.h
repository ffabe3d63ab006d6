#pragma once

#include <istream>
#include <string>

namespace platform
{
// The user's documents folder, without a trailing slash: XDG_DOCUMENTS_DIR from user-dirs.dirs (in
// $XDG_CONFIG_HOME, default ~/.config), else $HOME/Documents. Created when missing; "" when HOME is unset.
std::string DocumentsFolder();
// The documents folder that a user-dirs.dirs file names for the home folder: the first
// XDG_DOCUMENTS_DIR="$HOME/..." (or absolute) value with $HOME replaced; "" when it names none, no
// absolute folder, or the home folder itself (the XDG convention for "not set").
std::string DocumentsFolderIn(std::istream& userDirs, const std::string& home);
// The process's working folder, without a trailing slash ("" when it cannot be read).
std::string CurrentDirectory();
} // namespace platform
