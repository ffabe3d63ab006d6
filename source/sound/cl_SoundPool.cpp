#include "sound/cl_SoundPool.h"

#include <tinyxml.h>

void cl_SoundPool::DefineSounds(const TiXmlElement& sounds)
{
    for (const TiXmlElement* sound = sounds.FirstChildElement("sound"); sound;
         sound = sound->NextSiblingElement("sound"))
    {
        const char* id = sound->Attribute("id");
        if (id && *id)
            m_soundIds.insert(id);
    }
}

bool cl_SoundPool::HasSound(const std::string& id) const
{
    return m_soundIds.count(id) != 0;
}
