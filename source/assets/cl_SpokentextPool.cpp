#include "assets/cl_SpokentextPool.h"

#include "assets/MakeAsset.h"
#include "assets/cl_SpokentextAsset.h"
#include "common/LogCall.h"

#include <OgreDataStream.h>
#include <tinyxml.h>

cl_SpokentextPool::cl_SpokentextPool() : cl_TextPool("spokentexts") {}

std::unique_ptr<cl_Asset> cl_SpokentextPool::CreateAsset(const TiXmlElement* element)
{
    return MakeAsset<cl_SpokentextAsset>(*this, element);
}

void cl_SpokentextPool::UpdateAsset(cl_Asset& asset, const TiXmlElement& element)
{
    auto* spokentext = dynamic_cast<cl_SpokentextAsset*>(&asset);
    if (!spokentext)
        return;
    if (const char* speaker = element.Attribute("speakerref"))
        spokentext->SetSpeakerRef(speaker);
    cl_TextPool::UpdateAsset(asset, element);
}

void cl_SpokentextPool::SetLeafId(const std::string& id, const std::string& leafId)
{
    auto* spokentext = dynamic_cast<cl_SpokentextAsset*>(FindAsset(id));
    if (!spokentext)
    {
        LOG_ERROR("Spokentext's leafid could not be set: Spokenttext '%s' not found.", id.c_str());
        return;
    }
    spokentext->SetLeafId(leafId);
}

void cl_SpokentextPool::LoadLeafIds(Ogre::DataStream& stream)
{
    while (!stream.eof())
    {
        const std::string line = stream.getLine();
        if (line.empty())
            continue;
        const size_t semicolon = line.find(';');
        if (semicolon == std::string::npos)
        {
            LOG_ERROR("The leaf-id file '%s' has a line without ';': '%s'", stream.getName().c_str(),
                      line.c_str());
            continue;
        }
        SetLeafId(line.substr(0, semicolon), line.substr(semicolon + 1));
    }
}
