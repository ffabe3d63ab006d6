#include "gamecomponents/cl_DialogSystem.h"

bool cl_DialogSystem::IsDialogActive() const
{
    return m_partner != nullptr;
}

void cl_DialogSystem::ChooseByIndex(int) {}

void cl_DialogSystem::ChooseExitTopic() {}
