#pragma once

#include <string>
#include <vector>

// One chapter as its `chapterdata` element describes it: where its data lies, how it starts and how the
// menus show it. Paths use '/'; a part the element lacks is empty.
struct cl_Chapter
{
    // The chapter's sub-folder of the pimbdata folder (asset pools, "/gamestate.xml").
    std::string m_pimbData;
    // Locations below the gamedata folder, in document order: folders, and "Zip" archives.
    std::vector<std::string> m_resourceLocations;
    std::vector<std::string> m_resourceLocationsZip;
    // Locations below the speech folder of the language, in document order: folders, and "Zip" archives.
    std::vector<std::string> m_speechLocations;
    std::vector<std::string> m_speechLocationsZip;
    // The start scene's id, or Lua text that returns it when m_startSceneIsScript.
    std::string m_startScene;
    std::string m_title;
    std::string m_subtitle;
    std::string m_illuName;
    bool m_startSceneIsScript = false;
    // Resource names of the localizer's token files and of the leaf-id files, in document order.
    std::vector<std::string> m_languageFiles;
    std::vector<std::string> m_leafIdFiles;
};
