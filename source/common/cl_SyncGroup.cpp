#include "common/cl_SyncGroup.h"

#include "common/LogCall.h"

cl_SyncGroup::cl_SyncGroup(int32_t id) : m_id(id) {}

bool cl_SyncGroup::IsReady() const
{
    if (m_tokens.empty())
        return false;
    for (const auto& token : m_tokens)
    {
        if (!token.second)
            return false;
    }
    return true;
}

SyncToken cl_SyncGroup::GetNewToken()
{
    if (IsReady())
    {
        LOG_ERROR("SyncGroup is ready! Can't add new tokens to a ready group.");
        return SyncToken{};
    }
    const int32_t index = m_nextIndex++;
    m_tokens[index] = false;
    return SyncToken{m_id, index};
}

bool cl_SyncGroup::HasToken(int32_t index) const
{
    return m_tokens.count(index) != 0;
}

void cl_SyncGroup::SetTokenReady(int32_t index)
{
    const auto token = m_tokens.find(index);
    if (token != m_tokens.end())
        token->second = true;
}

void cl_SyncGroup::ReleaseToken(int32_t index)
{
    m_tokens.erase(index);
}
