#include "support/SoundFolder.h"

#include <OgreResourceGroupManager.h>

namespace
{
const char* const GAME_GROUP = "GAMEDATA";
const char* const SPEECH_GROUP = "SPEACHDATA";
} // namespace

SoundFolder::SoundFolder()
{
    WriteFile("game/.keep");
    WriteFile("speech/.keep");
    Publish();
}

SoundFolder::~SoundFolder()
{
    Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
    for (const char* group : {GAME_GROUP, SPEECH_GROUP})
    {
        if (groups.resourceGroupExists(group))
            groups.destroyResourceGroup(group);
    }
}

void SoundFolder::AddGameFile(const std::string& name, const std::string& bytes)
{
    WriteFile("game/" + name, bytes);
    Publish();
}

void SoundFolder::AddSpeechFile(const std::string& name, const std::string& bytes)
{
    WriteFile("speech/" + name, bytes);
    Publish();
}

void SoundFolder::Publish()
{
    // The groups index their files when a location is added: added afresh, they see every file.
    Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
    for (const char* group : {GAME_GROUP, SPEECH_GROUP})
    {
        if (groups.resourceGroupExists(group))
            groups.destroyResourceGroup(group);
    }
    groups.addResourceLocation(PathOf("game"), "FileSystem", GAME_GROUP, true);
    groups.addResourceLocation(PathOf("speech"), "FileSystem", SPEECH_GROUP);
    groups.initialiseResourceGroup(GAME_GROUP);
    groups.initialiseResourceGroup(SPEECH_GROUP);
}
