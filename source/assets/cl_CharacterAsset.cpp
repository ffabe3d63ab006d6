#include "assets/cl_CharacterAsset.h"

#include "assets/cl_GameState.h"
#include "assets/cl_PoolManager.h"
#include "assets/cl_TopicAsset.h"
#include "assets/cl_TopicPool.h"

#include <algorithm>

namespace
{
const char* const FORBIDDEN_INTERACT = "forbiddeninteract";
const char* const NO_TOPIC = "notopic";

bool IsNoSequence(const std::string& sequenceId)
{
    return sequenceId.empty() || sequenceId == "none";
}
} // namespace

cl_CharacterAsset::~cl_CharacterAsset()
{
    for (cl_TopicAsset* topic : FindTopics())
    {
        if (topic->GetOwningCharacter() == this)
            topic->SetOwningCharacter(nullptr);
    }
}

std::string cl_CharacterAsset::GetType() const
{
    return "character";
}

std::string cl_CharacterAsset::GetThingType() const
{
    return "character";
}

bool cl_CharacterAsset::IsThing() const
{
    return true;
}

std::string cl_CharacterAsset::GetInteractionSequence(const std::string& mode) const
{
    if (mode == "talk" && !HasActiveTopics())
    {
        const std::string noTopic = GetNoTopicSequence();
        if (!IsNoSequence(noTopic))
            return noTopic;
    }
    return cl_ItemAsset::GetInteractionSequence(mode);
}

void cl_CharacterAsset::GetActiveTopics(const cl_TopicAsset* parent, const std::string& playerCharacterId,
                                        std::vector<cl_TopicAsset*>& topics) const
{
    const cl_PoolManager* pools = cl_PoolManager::GetInstance();
    if (!pools)
        return;
    std::vector<cl_TopicAsset*> fitting;
    for (cl_TopicAsset* topic : FindTopics())
    {
        if (pools->GetTopicPool()->FindAsset(topic->GetParentRef()) == parent && topic->IsActive() &&
            topic->IsForPlayer(playerCharacterId))
            fitting.push_back(topic);
    }
    // Exit topics end a dialog level, so they always come last.
    std::stable_partition(fitting.begin(), fitting.end(),
                          [](const cl_TopicAsset* topic) { return !topic->IsExitTopic(); });
    topics.insert(topics.end(), fitting.begin(), fitting.end());
}

int cl_CharacterAsset::CountActiveSubTopics(const cl_TopicAsset* parent,
                                            const std::string& playerCharacterId) const
{
    std::vector<cl_TopicAsset*> topics;
    GetActiveTopics(parent, playerCharacterId, topics);
    return static_cast<int>(std::count_if(topics.begin(), topics.end(),
                                          [](const cl_TopicAsset* topic) { return !topic->IsExitTopic(); }));
}

bool cl_CharacterAsset::HasActiveTopics() const
{
    const cl_GameState* gameState = cl_GameState::GetInstance();
    const std::string player = gameState ? gameState->GetCurrentCharacterId() : std::string();
    const std::vector<cl_TopicAsset*> topics = FindTopics();
    return std::any_of(topics.begin(), topics.end(),
                       [&player](const cl_TopicAsset* topic)
                       {
                           return topic->GetParentRef() == "none" && topic->IsActive() &&
                                  !topic->IsExitTopic() && topic->IsForPlayer(player);
                       });
}

std::string cl_CharacterAsset::GetNoTopicSequence() const
{
    const cl_GameState* gameState = cl_GameState::GetInstance();
    const std::string player = gameState ? gameState->GetCurrentCharacterId() : std::string();
    const std::string forPlayer = cl_ItemAsset::GetInteractionSequence(std::string(NO_TOPIC) + "_" + player);
    return IsNoSequence(forPlayer) ? cl_ItemAsset::GetInteractionSequence(NO_TOPIC) : forPlayer;
}

void cl_CharacterAsset::SetNoTopicSequence(const std::string& sequenceId,
                                           const std::string& playerCharacterId)
{
    SetInteractionSequence(
        playerCharacterId.empty() ? NO_TOPIC : std::string(NO_TOPIC) + "_" + playerCharacterId, sequenceId);
}

std::string cl_CharacterAsset::GetForbiddenInteractSequence() const
{
    return cl_ItemAsset::GetInteractionSequence(FORBIDDEN_INTERACT);
}

void cl_CharacterAsset::SetForbiddenInteractSequence(const std::string& sequenceId)
{
    SetInteractionSequence(FORBIDDEN_INTERACT, sequenceId);
}

std::vector<cl_TopicAsset*> cl_CharacterAsset::FindTopics() const
{
    std::vector<cl_TopicAsset*> topics;
    const cl_PoolManager* pools = cl_PoolManager::GetInstance();
    if (!pools)
        return topics;
    for (const std::string& id : m_topics)
    {
        if (auto* topic = dynamic_cast<cl_TopicAsset*>(pools->GetTopicPool()->FindAsset(id)))
            topics.push_back(topic);
    }
    return topics;
}
