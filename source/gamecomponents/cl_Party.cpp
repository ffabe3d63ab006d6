#include "gamecomponents/cl_Party.h"

#include "assets/cl_GameState.h"
#include "common/XmlHelpers.h"

#include <tinyxml.h>

namespace
{
const char* const MEMBER = "member";
const char* const CHARACTER_ID = "characterid";
const char* const TAG = "tag";
} // namespace

cl_Party::cl_Party()
{
    if (cl_GameState* gameState = cl_GameState::GetInstance())
        gameState->AddListener(this);
}

cl_Party::~cl_Party()
{
    if (cl_GameState* gameState = cl_GameState::GetInstance())
        gameState->RemoveListener(this);
}

TiXmlElement* cl_Party::FindMember(const std::string& characterId) const
{
    return m_partyElement ? FindChildWithAttribute(*m_partyElement, MEMBER, CHARACTER_ID, characterId)
                          : nullptr;
}

bool cl_Party::IsMember(const std::string& characterId) const
{
    return FindMember(characterId) != nullptr;
}

void cl_Party::AddMember(const std::string& characterId)
{
    if (!m_partyElement || IsMember(characterId))
        return;
    AppendChild(*m_partyElement, MEMBER)->SetAttribute(CHARACTER_ID, characterId);
    m_listeners.Tell([&characterId](IPartyListener& listener) { listener.OnMemberAdded(characterId); });
}

bool cl_Party::RemoveMember(const std::string& characterId)
{
    TiXmlElement* member = FindMember(characterId);
    if (!member)
        return false;
    m_partyElement->RemoveChild(member);
    m_listeners.Tell([&characterId](IPartyListener& listener) { listener.OnMemberRemoved(characterId); });
    return true;
}

void cl_Party::SetMemberTag(const std::string& characterId, const std::string& tag)
{
    if (!m_partyElement)
        return;
    for (TiXmlElement* member = m_partyElement->FirstChildElement(MEMBER); member;
         member = member->NextSiblingElement(MEMBER))
    {
        const char* id = member->Attribute(CHARACTER_ID);
        if (!id || characterId != id)
            continue;
        if (tag.empty())
            member->RemoveAttribute(TAG);
        else
            member->SetAttribute(TAG, tag);
        m_listeners.Tell([](IPartyListener& listener) { listener.OnPartyChanged(); });
    }
}

std::string cl_Party::GetMemberTag(const std::string& characterId) const
{
    const TiXmlElement* member = FindMember(characterId);
    return member ? AttributeOrEmpty(*member, TAG) : std::string();
}

void cl_Party::NotifyGameStateCleared()
{
    m_partyElement = nullptr;
}

void cl_Party::NotifyChapterChanged()
{
    m_partyElement = nullptr;
    m_listeners.Tell([](IPartyListener& listener) { listener.OnPartyChanged(); });
}

void cl_Party::NotifyGameStateLoading() {}

void cl_Party::NotifyGameStateLoaded(cl_GameState* gameState)
{
    m_partyElement = gameState ? gameState->GetPartyState() : nullptr;
    m_listeners.Tell([](IPartyListener& listener) { listener.OnPartyChanged(); });
}

void cl_Party::NotifyGameStateSaving(cl_GameState* /*gameState*/) {}
