#include "common/cl_SyncManager.h"

#include <utility>

cl_SyncManager::cl_SyncManager() = default;

cl_SyncManager::~cl_SyncManager() = default;

SyncToken cl_SyncManager::GetNewToken(const std::string& name)
{
    if (name.empty())
        return SyncToken{};
    auto named = m_names.find(name);
    if (named == m_names.end())
    {
        const int32_t id = m_nextId++;
        named = m_names.emplace(name, id).first;
        m_groups.emplace(id, cl_SyncGroup(id));
    }
    return m_groups.at(named->second).GetNewToken();
}

void cl_SyncManager::SetTokenReady(const SyncToken& token)
{
    if (cl_SyncGroup* group = FindGroup(token))
        group->SetTokenReady(token.index);
}

bool cl_SyncManager::HasToken(const SyncToken& token) const
{
    const cl_SyncGroup* group = FindGroup(token);
    return group && group->HasToken(token.index);
}

bool cl_SyncManager::IsGroupReady(const SyncToken& token) const
{
    const cl_SyncGroup* group = FindGroup(token);
    return group && group->IsReady();
}

void cl_SyncManager::ReleaseToken(SyncToken& token)
{
    if (cl_SyncGroup* group = FindGroup(token))
    {
        group->ReleaseToken(token.index);
        if (group->IsEmpty())
            DropGroup(token.groupId);
    }
    token = SyncToken{};
}

const cl_SyncGroup* cl_SyncManager::FindGroup(const SyncToken& token) const
{
    if (token.IsNone())
        return nullptr;
    const auto group = m_groups.find(token.groupId);
    return group == m_groups.end() ? nullptr : &group->second;
}

cl_SyncGroup* cl_SyncManager::FindGroup(const SyncToken& token)
{
    return const_cast<cl_SyncGroup*>(std::as_const(*this).FindGroup(token));
}

void cl_SyncManager::DropGroup(int32_t id)
{
    for (auto named = m_names.begin(); named != m_names.end(); ++named)
    {
        if (named->second == id)
        {
            m_names.erase(named);
            break;
        }
    }
    m_groups.erase(id);
}
