#pragma once

#include "support/HeadlessOgre.h"
#include "support/HeadlessTextures.h"

#include <tinyxml.h>

#include <string>

namespace Ogre
{
class SceneManager;
}

// The demo's chapter as the build lays it out, on OGRE without a window, for benchmarks: its folder as the
// resource group "CHAPTERDATA" (meshes, skeletons and materials; the textures they name made in memory)
// and its characters.tdf.
class DemoChapter
{
public:
    DemoChapter();

    // The "character" element of that "assetref"; null for none.
    const TiXmlElement* Character(const std::string& assetRef) const;
    Ogre::SceneManager& SceneManager() const { return m_ogre.SceneManager(); }

private:
    HeadlessOgre m_ogre;
    HeadlessTextures m_textures;
    TiXmlDocument m_characters;
};
