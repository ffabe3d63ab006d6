#pragma once

#include <string>

namespace platform
{
// The user's documents folder, without a trailing slash: XDG_DOCUMENTS_DIR from user-dirs.dirs (in
// $XDG_CONFIG_HOME, default ~/.config), else $HOME/Documents. Created when missing; "" when HOME is unset.
std::string DocumentsFolder();
// The process's working folder, without a trailing slash ("" when it cannot be read).
std::string CurrentDirectory();
} // namespace platform
