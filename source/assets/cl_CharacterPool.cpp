#include "assets/cl_CharacterPool.h"

#include "assets/MakeAsset.h"
#include "assets/cl_CharacterAsset.h"
#include "assets/cl_PoolManager.h"
#include "assets/cl_TopicAsset.h"
#include "assets/cl_TopicPool.h"
#include "common/LogCall.h"
#include "common/StringHelpers.h"

#include <tinyxml.h>

#include <cstdlib>

namespace
{
float ColourPart(const std::string& text)
{
    return static_cast<float>(std::strtol(text.c_str(), nullptr, 10) / 255.0);
}

void ReadSpeechColour(cl_CharacterAsset& character, const std::string& id, const std::string& text)
{
    std::string rest;
    const std::string red = SplitAtFirst(text, ",", rest);
    std::string blue;
    const std::string green = SplitAtFirst(rest, ",", blue);
    if (red.empty() || green.empty() || blue.empty())
    {
        LOG_ERROR("Speechcolor of character could not be parsed. Defaulting to Black (character '%s', "
                  "speechcolor '%s')",
                  id.c_str(), text.c_str());
        character.SetSpeechColour(Ogre::ColourValue::Black);
        return;
    }
    character.SetSpeechColour(Ogre::ColourValue(ColourPart(red), ColourPart(green), ColourPart(blue), 1.0f));
}
} // namespace

cl_CharacterPool::cl_CharacterPool() : cl_ItemPool("characters") {}

std::unique_ptr<cl_Asset> cl_CharacterPool::CreateAsset(const TiXmlElement* element)
{
    return MakeAsset<cl_CharacterAsset>(*this, element);
}

void cl_CharacterPool::UpdateAsset(cl_Asset& asset, const TiXmlElement& element)
{
    auto* character = dynamic_cast<cl_CharacterAsset*>(&asset);
    if (!character)
        return;
    if (const char* speechColour = element.Attribute("speechcolor"))
    {
        const char* id = element.Attribute("id");
        ReadSpeechColour(*character, id ? id : "", speechColour);
    }

    character->ClearTopics();
    const TiXmlElement* topics = element.FirstChildElement("topics");
    const cl_PoolManager* pools = cl_PoolManager::GetInstance();
    for (const TiXmlElement* entry = topics ? topics->FirstChildElement("topic") : nullptr; entry;
         entry = entry->NextSiblingElement("topic"))
    {
        const char* topicId = entry->Attribute("topicref");
        if (!topicId)
            continue;
        character->AddTopic(topicId);
        if (auto* topic =
                pools ? dynamic_cast<cl_TopicAsset*>(pools->GetTopicPool()->FindAsset(topicId)) : nullptr)
            topic->SetOwningCharacter(character);
    }
}
