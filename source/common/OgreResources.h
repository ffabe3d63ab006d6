#pragma once

#include <string>

// Questions to ask OGRE before naming data that may be missing: OGRE throws for a missing material, mesh
// or texture, and data a game author ships may lack any of them.

// Whether a material of that name exists in any resource group.
bool MaterialExists(const std::string& name);
// Whether some resource group holds the file (a mesh, a texture). False without OGRE's resource system.
bool ResourceFileExists(const std::string& file);
// Writes the line to OGRE's log as it stands, without level or source, when OGRE's log exists: the
// milestones that tools and benchmarks look for.
void WriteToOgreLog(const std::string& line);
