#include "assets/ISyncedActionInitiator.h"

#include "common/cl_SyncManager.h"

SyncToken ISyncedActionInitiator::GetSyncToken() const
{
    return SyncToken{};
}

bool ISyncedActionInitiator::HasSyncToken() const
{
    const cl_SyncManager* sync = cl_SyncManager::GetInstance();
    return sync && sync->HasToken(GetSyncToken());
}

std::string ISyncedActionInitiator::GetName() const
{
    return "unknown";
}
