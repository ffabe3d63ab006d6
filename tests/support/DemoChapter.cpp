#include "support/DemoChapter.h"

#include "common/XmlParse.h"

#include <OgreResourceGroupManager.h>

DemoChapter::DemoChapter()
{
    Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
    groups.addResourceLocation(QUILLMERE_BUILT_DEMO_DIR "data/chapter1", "FileSystem", "CHAPTERDATA");
    groups.initialiseResourceGroup("CHAPTERDATA");
    LoadXmlFile(m_characters, QUILLMERE_BUILT_DEMO_DIR "data/chapter1/characters.tdf");
}

const TiXmlElement* DemoChapter::Character(const std::string& assetRef) const
{
    const TiXmlElement* root = m_characters.RootElement();
    for (const TiXmlElement* element = root ? root->FirstChildElement("character") : nullptr; element;
         element = element->NextSiblingElement("character"))
    {
        if (assetRef == element->Attribute("assetref"))
            return element;
    }
    return nullptr;
}
