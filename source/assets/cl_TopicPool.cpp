#include "assets/cl_TopicPool.h"

#include "assets/MakeAsset.h"
#include "assets/cl_TopicAsset.h"

#include <OgreString.h>
#include <tinyxml.h>

cl_TopicPool::cl_TopicPool() : cl_AssetPool("topics") {}

std::unique_ptr<cl_Asset> cl_TopicPool::CreateAsset(const TiXmlElement* element)
{
    return MakeAsset<cl_TopicAsset>(*this, element);
}

void cl_TopicPool::UpdateAsset(cl_Asset& asset, const TiXmlElement& element)
{
    auto* topic = dynamic_cast<cl_TopicAsset*>(&asset);
    if (!topic)
        return;
    if (const char* titleRef = element.Attribute("titleref"))
        topic->SetFileTitleRef(titleRef);
    if (const char* parentRef = element.Attribute("parentref"))
        topic->SetParentRef(parentRef);
    if (const char* playerCharRef = element.Attribute("playercharref"))
        topic->SetPlayerCharRef(playerCharRef);
    if (const char* sequenceRef = element.Attribute("sequenceref"))
        topic->SetFileSequenceRef(sequenceRef);
    if (const char* exitTopic = element.Attribute("exittopic"))
    {
        std::string value = exitTopic;
        Ogre::StringUtil::toLowerCase(value);
        if (value == "true")
            topic->SetExitTopic(true);
    }
}
