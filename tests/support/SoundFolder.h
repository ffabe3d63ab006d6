#pragma once

#include "support/TemporaryFolder.h"

#include <string>

// Temporary folders as OGRE's resource groups "GAMEDATA" (with subfolders) and "SPEACHDATA", for the sound
// files of a test. Needs an OGRE root (HeadlessOgre) while it lives; removes both groups when it dies.
class SoundFolder : public TemporaryFolder
{
public:
    SoundFolder();
    ~SoundFolder() override;

    // Writes the file ('/' between folders) and makes its group see it.
    void AddGameFile(const std::string& name, const std::string& bytes);
    void AddSpeechFile(const std::string& name, const std::string& bytes);

private:
    void Publish();
};
