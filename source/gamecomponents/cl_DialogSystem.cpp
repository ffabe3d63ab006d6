#include "gamecomponents/cl_DialogSystem.h"

bool cl_DialogSystem::IsDialogActive() const
{
    return m_partner != nullptr || IsChoiceQueryPending();
}

void cl_DialogSystem::ChooseByIndex(int) {}

void cl_DialogSystem::ChooseExitTopic() {}

bool cl_DialogSystem::IsChoiceQueryPending() const
{
    return false;
}

void cl_DialogSystem::QueryChoice(cl_Asset*) {}

void cl_DialogSystem::DialogStart() {}

void cl_DialogSystem::EnterTopic(cl_TopicAsset*) {}

void cl_DialogSystem::StartSubDialog(cl_CharacterAsset*, cl_TopicAsset*) {}

void cl_DialogSystem::ExitDialog() {}
