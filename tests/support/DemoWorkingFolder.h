#pragma once

#include "support/TemporaryFolder.h"
#include "support/TemporaryHome.h"

#include <string>

// A copy of a demo game as the process's working folder, with HOME in a temporary folder, for as long as
// this lives: the application finds its settings, Lua files and data as the program does when started
// from the game's folder, and writes its user files into the temporary home.
class DemoWorkingFolder : public TemporaryFolder
{
public:
    // demoFolder: the game to copy (the source demo or the one laid out in the build folder).
    explicit DemoWorkingFolder(const std::string& demoFolder);
    // Goes back to the working folder of before.
    ~DemoWorkingFolder() override;

    // "<home>/Documents/Quillmere/<name>": a file of the program's user folder.
    std::string UserFile(const std::string& name) const;

private:
    TemporaryHome m_home;
    std::string m_previousFolder;
};
