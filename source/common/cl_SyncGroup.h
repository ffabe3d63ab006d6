#pragma once

#include <cstdint>
#include <map>

// A participant's ticket in a sync group: the group's id and the token's index within the group.
// The default (-1, -1) is no token; a token with a negative part counts as no token everywhere.
struct SyncToken
{
    int32_t groupId = -1;
    int32_t index = -1;

    bool IsNone() const { return groupId < 0 || index < 0; }
    bool operator==(const SyncToken& other) const { return groupId == other.groupId && index == other.index; }
    bool operator!=(const SyncToken& other) const { return !(*this == other); }
};

// The tokens handed out for one group name and whether each participant is done.
// Only the sync manager creates groups; participants reach them through their tokens.
class cl_SyncGroup
{
public:
    explicit cl_SyncGroup(int32_t id);

    int32_t GetId() const { return m_id; }

    // False while the group holds no token; otherwise whether every token it holds is done.
    bool IsReady() const;

    // A new token that is not done yet. A ready group may already have let its participants go on, so it
    // refuses: the error is logged and no token comes back, and the requester runs unsynchronised.
    SyncToken GetNewToken();

    bool HasToken(int32_t index) const;
    // Marks a held token done; an index the group does not hold is ignored.
    void SetTokenReady(int32_t index);
    // Forgets a held token, done or not; an index the group does not hold is ignored.
    void ReleaseToken(int32_t index);
    bool IsEmpty() const { return m_tokens.empty(); }

private:
    int32_t m_id;
    int32_t m_nextIndex = 0;
    std::map<int32_t, bool> m_tokens; // index -> done
};
