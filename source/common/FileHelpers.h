#pragma once

#include <OgrePrerequisites.h>

#include <string>
#include <vector>

class TiXmlDocument;

// Folder and game-data file helpers. Paths from data may use '\'; it is read as '/' everywhere here.

// The path with every '\' turned into '/'.
std::string ForwardSlashes(const std::string& path);

// Creates the folder and every missing parent; an existing folder is fine. Returns false, with an error
// log line naming the folder, when it cannot be created (a component is a file, no permission).
bool CreateDirectories(const std::string& path);

// Appends to list the full path ("<folder>/<sub>/<name>") of every file and folder below folder whose
// extension (from the last '.' of its name, dot included, for example ".tsg") equals extension exactly.
// The entries appended by one call are sorted by path in byte order; what list held before stays in
// front, untouched. Links to folders are listed but not entered. A missing folder gives a warning and
// appends nothing; a folder that cannot be read is logged and skipped.
void ListFilesRecursive(std::vector<std::string>& list, const std::string& folder,
                        const std::string& extension);

// Reads the whole regular file at path into text. False when it is missing, a folder or cannot be read;
// nothing is logged, the caller names what the file was for.
bool ReadFileText(const std::string& path, std::string& text);

// Opens the resource name (a '\' in it read as '/') from OGRE's resource group, or else from the first other
// group that has it. Null, with an error log line naming the resource, when no group has it or OGRE's
// resource system does not exist.
Ogre::DataStreamPtr OpenResource(const std::string& name, const std::string& group);

// Reads the resource name from OGRE's resource group "GAMEDATA" (from any other group when it is not
// there) and parses it into document. Returns false, with an error log line naming the resource, when it
// cannot be opened (also when OGRE's resource system does not exist). Returns true once the text was
// read: the caller tests document.Error() for a parse error.
bool OpenGameDataResource(const std::string& name, TiXmlDocument& document);
