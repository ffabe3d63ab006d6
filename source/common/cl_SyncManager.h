#pragma once

#include "ISingleton.h"
#include "common/cl_SyncGroup.h"

#include <map>
#include <string>

// Lets lasting actions that share a "syncgroup" name finish together. Each participant takes a token when
// it starts, marks it done when its own part is over and waits until its group is ready; the last one to
// release its token dissolves the group. The manager keeps no time: a participant that never marks its
// token done keeps its group waiting, and giving up is the participants' business.
//
// Group ids are never reused, so a token kept after its group was dissolved never matches a later group
// of the same name. Every operation on no token, or on a token or group that is gone, does nothing and
// answers false.
class cl_SyncManager : public ISingleton<cl_SyncManager>
{
public:
    cl_SyncManager();
    ~cl_SyncManager() override;

    // A token of the group with that name, which is created when no live group has the name.
    // No token for an empty name (nothing logged) or when the group is already ready (error logged).
    SyncToken GetNewToken(const std::string& name);
    void SetTokenReady(const SyncToken& token);
    // Whether the token's group still exists and still holds the token.
    bool HasToken(const SyncToken& token) const;
    // Whether the token's group exists and is ready. A released token is (-1, -1) and answers false, but a
    // copy of it still reports on its group while the group lives.
    bool IsGroupReady(const SyncToken& token) const;
    // Gives the token back, done or not, and dissolves its group when no token is left in it.
    // The caller's token is (-1, -1) afterwards in every case.
    void ReleaseToken(SyncToken& token);

private:
    const cl_SyncGroup* FindGroup(const SyncToken& token) const;
    cl_SyncGroup* FindGroup(const SyncToken& token);
    void DropGroup(int32_t id);

    std::map<int32_t, cl_SyncGroup> m_groups;
    std::map<std::string, int32_t> m_names; // name -> id of each live group
    int32_t m_nextId = 0;
};
