#include "minigames/cl_MinigameManager.h"

#include "common/LogCall.h"
#include "minigames/cl_Minigame.h"

#include <tinyxml.h>

cl_MinigameManager::cl_MinigameManager() : m_minigameParser("minigame", this) {}

cl_MinigameManager::~cl_MinigameManager() = default;

void cl_MinigameManager::ParseElement(const TiXmlElement* element, const std::string& group, bool skip)
{
    if (skip || !element)
        return;
    const char* name = element->Attribute("name");
    if (!name || !*name)
    {
        LOG_WARNING("A minigame without name in group '%s' was passed over", group.c_str());
        return;
    }
    m_names.insert(name);
}

void cl_MinigameManager::UnloadGroup(const std::string&) {}

bool cl_MinigameManager::IsRegistered(const std::string& name) const
{
    return m_names.count(name) != 0;
}

void cl_MinigameManager::AddMinigame(const std::string& name, std::unique_ptr<cl_Minigame> minigame)
{
    std::unique_ptr<cl_Minigame>& slot = m_minigames[name];
    if (slot && slot.get() == m_current)
        StopMinigame();
    slot = std::move(minigame);
    m_names.insert(name);
}

void cl_MinigameManager::StartMinigame(const std::string& name, cl_AssetLogic* logic)
{
    StopMinigame();
    auto found = m_minigames.find(name);
    if (found == m_minigames.end())
        found = m_minigames.find("default");
    if (found == m_minigames.end())
    {
        LOG_WARNING("No minigame '%s' can run yet", name.c_str());
        return;
    }
    m_current = found->second.get();
    m_current->Start(logic);
}

void cl_MinigameManager::StopMinigame()
{
    if (!m_current)
        return;
    m_current->End();
    m_current = nullptr;
}
