#pragma once

#include <string>

// Resource locations of OGRE's resource-group manager, added so that a location OGRE refuses costs only
// that location: an unknown archive type, a damaged zip or a folder that cannot be read is logged with
// where it was named and skipped, instead of ending the start with OGRE's exception.
namespace ResourceLocations
{
// Adds the archive name of the type to the group (created when missing). False, with a log line naming
// source (the file or setting that named the location) and the entry, when OGRE refuses it.
bool Add(const std::string& name, const std::string& type, const std::string& group,
         const std::string& source);

// Adds every entry "type=name" of every section (the group) of OGRE's resource locations file at path
// (separators tab, colon and equals sign). A file that cannot be read is logged; bad entries are skipped.
void AddFromFile(const std::string& path);
} // namespace ResourceLocations
