#include "assets/cl_TopicAsset.h"

#include "assets/cl_AssetLogic.h"
#include "assets/cl_CharacterAsset.h"
#include "assets/cl_GameState.h"
#include "common/XmlHelpers.h"

#include <OgreString.h>
#include <tinyxml.h>

std::string cl_TopicAsset::GetType() const
{
    return "topic";
}

void cl_TopicAsset::BindState(cl_GameState* gameState)
{
    m_state = gameState ? gameState->GetTopicState(GetId()) : nullptr;
    cl_Asset::BindState(gameState);
}

std::string cl_TopicAsset::GetTitleRef() const
{
    return ReadState("titleref");
}

void cl_TopicAsset::SetTitleRef(const std::string& textId)
{
    WriteState("titleref", textId);
}

std::string cl_TopicAsset::GetSequenceRef() const
{
    return ReadState("sequenceref");
}

void cl_TopicAsset::SetSequenceRef(const std::string& sequenceId)
{
    WriteState("sequenceref", sequenceId);
}

bool cl_TopicAsset::IsActive() const
{
    std::string active = ReadState("active");
    Ogre::StringUtil::toLowerCase(active);
    return active == "true";
}

void cl_TopicAsset::SetActive(bool active)
{
    if (!m_state)
        return;
    m_state->SetAttribute("active", active ? "true" : "false");
    if (cl_AssetLogic* logic = m_owningCharacter ? m_owningCharacter->GetLogic() : nullptr)
        logic->SendEvent(active ? "character.TopicActivated" : "character.TopicDeactivated",
                         &GetIdArgument());
}

void cl_TopicAsset::NotifyChoosen()
{
    if (cl_AssetLogic* logic = GetLogic())
        logic->SendEvent("choosen", nullptr);
}

bool cl_TopicAsset::IsForPlayer(const std::string& playerCharacterId) const
{
    return m_playerCharRef.empty() || m_playerCharRef == "none" || m_playerCharRef == playerCharacterId;
}

std::string cl_TopicAsset::ReadState(const char* attribute) const
{
    return m_state ? AttributeOrEmpty(*m_state, attribute) : std::string();
}

void cl_TopicAsset::WriteState(const char* attribute, const std::string& value)
{
    if (m_state)
        m_state->SetAttribute(attribute, value);
}
