// Reads bytes as a "puppet" element into a puppet on the demo chapter's figures (meshes, skeletons and
// materials as the build lays them out), lets it play a few frames, writes its state, and unloads it. A
// crash, a hang, an exception out of the puppet or a state that is no XML is a failure.
#include "common/XmlParse.h"
#include "graphics/cl_Puppet.h"
#include "graphics/cl_PuppetAnimWeight.h"
#include "support/HeadlessOgre.h"
#include "support/HeadlessTextures.h"
#include "support/PrintedXml.h"

#include <OgreResourceGroupManager.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <tinyxml.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace
{
// OGRE without a window, the chapter's folder as the group "CHAPTERDATA".
struct Figures
{
    Figures()
    {
        Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
        groups.addResourceLocation(QUILLMERE_BUILT_DEMO_DIR "data/chapter1", "FileSystem", "CHAPTERDATA");
        groups.initialiseResourceGroup("CHAPTERDATA");
        game = ogre.SceneManager().getRootSceneNode()->createChildSceneNode("_game");
    }

    HeadlessOgre ogre;
    // The chapter's materials name textures.
    HeadlessTextures textures;
    Ogre::SceneNode* game;
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Figures figures;
    TiXmlDocument document;
    ParseXml(document, std::string(reinterpret_cast<const char*>(data), size), "fuzz input");

    cl_Puppet puppet(figures.ogre.SceneManager());
    figures.game->addChild(puppet.GetSceneNode());
    puppet.FromXml(document.RootElement());
    if (cl_PuppetAnimWeight* walk = puppet.ResolveAnimPath("skeletal/walk"))
        walk->SetTarget(1.0f, 0.2f);
    for (const float dt : {0.0f, 0.1f, 0.7f, 2.5f})
        puppet.Update(dt);

    TiXmlElement state("state");
    puppet.SaveState(state);
    TiXmlDocument reread;
    ParseXml(reread, PrintedXml(&state), "written state");
    if (reread.Error())
        std::abort();
    puppet.Unload();
    return 0;
}
