#include "graphics/cl_SpecialAnimationControl.h"

#include "common/cl_SyncManager.h"
#include "graphics/IPuppetControlListener.h"
#include "graphics/cl_PuppetAnimation.h"
#include "graphics/cl_PuppetMainAnimation.h"

void cl_SpecialAnimationControl::Reset()
{
    if (IsActive() && m_current)
    {
        SetWeight(m_current, 0.0f, 0.0f);
        m_current = nullptr;
    }
    cl_PuppetControl::Reset();
}

void cl_SpecialAnimationControl::OnActivated(const st_ActivationRequest&)
{
    StartWhenSynced();
}

void cl_SpecialAnimationControl::PlayAnimation(const std::string& path)
{
    if (m_current)
    {
        m_queued = GetMainAnimation(path);
        // A looping animation would never finish: it runs out at its end instead.
        if (IsActive() && CheckActive())
            m_current->SetHoldAtEnd(true);
    }
    else
    {
        m_queued = nullptr;
        m_current = GetMainAnimation(path);
        if (IsActive())
            StartWhenSynced();
    }
    if (!m_current && IsCallbackPending())
    {
        SetCallbackPending(false);
        Report(IPuppetControlListener::CODE_FAILED);
    }
}

void cl_SpecialAnimationControl::Stop()
{
    if (!m_current)
        return;
    SetWeight(m_current, 0.0f, -1.0f);
    ReleaseSyncToken();
    m_current = nullptr;
    ReportStopped();
}

void cl_SpecialAnimationControl::StartWhenSynced()
{
    if (IsWaitingForSync())
    {
        if (cl_SyncManager* sync = cl_SyncManager::GetInstance())
            sync->SetTokenReady(GetSyncToken());
        return;
    }
    StartPlayback();
}

bool cl_SpecialAnimationControl::StartPlayback()
{
    if (IsCallbackPending())
        Report(IPuppetControlListener::CODE_STARTED);
    if (!m_current)
        return false;
    if (CheckActive())
        SetTimeRecursive(&m_current->GetOwner(), 0.0f);
    SetWeight(m_current, 1.0f, -1.0f);
    ReleaseSyncToken();
    return true;
}

void cl_SpecialAnimationControl::ReleaseSyncToken()
{
    if (cl_SyncManager* sync = cl_SyncManager::GetInstance())
        sync->ReleaseToken(GetSyncToken());
    else
        SetSyncToken(SyncToken());
}

bool cl_SpecialAnimationControl::OnUpdate(float)
{
    if (!m_current)
        return false;
    if (!IsActive())
    {
        if (IsEnabled())
            RequestActivation(PRIORITY, CHANNELS);
        return true;
    }
    if (IsDeactivationRequested())
    {
        m_current = nullptr;
        ReleaseSyncToken();
        ReportStopped();
        return false;
    }
    if (IsSyncReady())
    {
        StartPlayback();
        return true;
    }
    if (!m_current->IsFinished())
        return true;
    if (m_queued)
    {
        SetWeight(m_current, 0.0f, -1.0f);
        m_current = m_queued;
        m_queued = nullptr;
        StartWhenSynced();
        return true;
    }
    if (IsWaitingForSync())
        return true;
    SetWeight(m_current, 0.0f, -1.0f);
    m_current = nullptr;
    ReportDone();
    return false;
}
