#pragma once

#include <string>

namespace Ogre
{
class Root;
}

// OGRE's own settings file, "ogre.cfg" in the user folder: the render system and its options, in the form
// Ogre::Root reads back with restoreConfig.
namespace OgreConfigFile
{
constexpr const char* NAME = "ogre.cfg";

// The text OGRE writes for root's render systems: "Render System=<active>", then a section per render
// system with every option as "name=value".
std::string Text(Ogre::Root& root);

// Writes Text(root) to path through a temporary file renamed over it, so that a program killed while
// saving leaves the old or the new complete file, never a part. False, with a log line, when it cannot
// be written; the old file then stays as it was.
bool Save(Ogre::Root& root, const std::string& path);

// Restores root's render settings from the file at path (Ogre::Root::restoreConfig). False when they
// could not be used; a file that is there but empty, damaged or naming nothing usable is logged by its
// path, a missing one (the first start) is not.
bool Restore(Ogre::Root& root, const std::string& path);
} // namespace OgreConfigFile
