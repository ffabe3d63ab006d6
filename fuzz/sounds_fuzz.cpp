// Feeds bytes to the sound definitions' reader as "sounds.xml", then asks for every id the document names
// (with the ids of the nodes around it) and makes and destroys the playback each gives. A definition of the
// top level must be found by its own id, and its random file must be one of its files.
#include "common/XmlParse.h"
#include "sound/cl_PlaybackObject.h"
#include "sound/cl_SoundDefinition.h"
#include "sound/cl_SoundLoader.h"
#include "sound/cl_SoundPool.h"

#include <tinyxml.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace
{
void Require(bool condition, const char* what)
{
    if (!condition)
    {
        std::fprintf(stderr, "sounds_fuzz: %s\n", what);
        std::abort();
    }
}

// Asks the pool for the id of every `sound` below element, prefixed by the node ids on the way.
void AskForEverySound(cl_SoundPool& pool, const TiXmlElement& element, const std::string& prefix, int depth)
{
    for (const TiXmlElement* child = element.FirstChildElement(); child; child = child->NextSiblingElement())
    {
        const char* id = child->Attribute("id");
        const std::string path = prefix + (id ? id : "");
        if (child->ValueStr() == "sound")
        {
            cl_SoundDefinition definition;
            if (pool.GetSoundDefinition(path, definition))
            {
                const std::string file = pool.GetRandomFile(path);
                Require(definition.m_files.empty() ||
                            std::find(definition.m_files.begin(), definition.m_files.end(), file) !=
                                definition.m_files.end(),
                        "a random file is none of the definition's files");
            }
            pool.DestroyPlaybackObject(pool.CreatePlaybackObject(path));
        }
        else if (child->ValueStr() == "node" && depth < 16)
        {
            AskForEverySound(pool, *child, path + "\\", depth + 1);
        }
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TiXmlDocument document;
    ParseXml(document, std::string(reinterpret_cast<const char*>(data), size), "sounds.xml");
    const TiXmlElement* root = document.RootElement();
    if (!root)
        return 0;
    cl_SoundLoader loader;
    cl_SoundPool pool(loader);
    if (!pool.Load(*root))
        return 0;
    for (const TiXmlElement* sound = root->FirstChildElement("sound"); sound;
         sound = sound->NextSiblingElement("sound"))
    {
        const char* id = sound->Attribute("id");
        if (id && *id && std::string(id).find('\\') == std::string::npos)
            Require(pool.HasSoundDefinition(id), "a sound of the top level is not found by its id");
    }
    AskForEverySound(pool, *root, "", 0);
    return 0;
}
