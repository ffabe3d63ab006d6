#include "assets/cl_MinigameAsset.h"

std::string cl_MinigameAsset::GetType() const
{
    return "minigame";
}

void cl_MinigameAsset::AddPossibleEvent(const std::string& event)
{
    m_possibleEvents.push_back(event);
}
