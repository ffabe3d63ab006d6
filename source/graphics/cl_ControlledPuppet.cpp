#include "graphics/cl_ControlledPuppet.h"

#include "common/LogCall.h"
#include "common/MapKeys.h"
#include "common/cl_SyncManager.h"

#include <algorithm>

cl_ControlledPuppet::cl_ControlledPuppet(Ogre::SceneManager& sceneManager) : cl_Puppet(sceneManager) {}

cl_ControlledPuppet::~cl_ControlledPuppet()
{
    DeleteControls();
}

void cl_ControlledPuppet::Update(float dt)
{
    ++m_frameNumber;
    RunControls(0.0f);
    RunControls(0.0f);
    if (!IsActive())
        return;
    GrantRequests();
    RunControls(0.0f);
    if (!IsActive())
        return;
    GrantRequests();
    RunControls(dt);
    if (!IsActive())
        return;
    cl_Puppet::Update(dt);
}

void cl_ControlledPuppet::RunControls(float dt)
{
    if (IsActive())
    {
        for (const auto& entry : m_controls)
        {
            if (!IsActive())
                break;
            cl_PuppetControl& control = *entry.second;
            const bool busy = control.OnUpdate(dt);
            if (!IsActive() || busy || !control.IsActive())
                continue;
            control.ConfirmDeactivaton();
            m_active.erase(std::remove_if(m_active.begin(), m_active.end(),
                                          [&control](const st_ActivationRequest& granted)
                                          { return granted.control == &control; }),
                           m_active.end());
        }
    }
    const cl_SyncManager* sync = cl_SyncManager::GetInstance();
    for (const auto& entry : m_controls)
    {
        const SyncToken& token = entry.second->GetSyncToken();
        entry.second->SetSyncReady(sync && sync->HasToken(token) && sync->IsGroupReady(token));
    }
}

void cl_ControlledPuppet::GrantRequests()
{
    std::stable_sort(m_requests.begin(), m_requests.end(),
                     [](const st_ActivationRequest& one, const st_ActivationRequest& other)
                     { return one.priority > other.priority; });
    m_granting.swap(m_requests);
    for (const st_ActivationRequest& request : m_granting)
        ProcessRequest(request);
    m_granting.clear();
}

void cl_ControlledPuppet::ProcessRequest(const st_ActivationRequest& request)
{
    cl_PuppetControl& control = *request.control;
    // Refusing it would clear the flags of a control whose channels stay granted for good.
    if (control.IsActive())
        return;
    bool conflict = false;
    for (const st_ActivationRequest& granted : m_active)
    {
        if ((granted.mask & request.mask) == 0)
            continue;
        conflict = true;
        if (request.priority > granted.priority)
            granted.control->RequestDeactivation();
    }
    if (conflict)
    {
        control.DenyActivation();
        return;
    }
    control.GrantActivation(request);
    m_active.push_back(request);
}

void cl_ControlledPuppet::QueueRequest(const st_ActivationRequest& request)
{
    m_requests.erase(std::remove_if(m_requests.begin(), m_requests.end(),
                                    [&request](const st_ActivationRequest& queued)
                                    { return queued.control == request.control; }),
                     m_requests.end());
    m_requests.push_back(request);
}

void cl_ControlledPuppet::SetActive(bool active)
{
    const bool wasActive = IsActive();
    cl_Puppet::SetActive(active);
    if (IsActive() != wasActive)
        ResetControls();
}

bool cl_ControlledPuppet::Unload()
{
    DeleteControls();
    return cl_Puppet::Unload();
}

bool cl_ControlledPuppet::AddControl(const std::string& name, std::unique_ptr<cl_PuppetControl>&& control)
{
    if (m_controls.count(name))
    {
        LOG_WARNING("A PuppetControl with this name is allready registered!");
        return false;
    }
    cl_PuppetControl& added = *control;
    m_controls[name] = std::move(control);
    added.SetPuppet(this);
    added.OnAttached(*this);
    return true;
}

cl_PuppetControl* cl_ControlledPuppet::GetControl(const std::string& name) const
{
    const auto found = m_controls.find(name);
    return found == m_controls.end() ? nullptr : found->second.get();
}

std::string cl_ControlledPuppet::GetControlName(const cl_PuppetControl* control) const
{
    for (const auto& entry : m_controls)
    {
        if (entry.second.get() == control)
            return entry.first;
    }
    return "unknown";
}

std::vector<std::string> cl_ControlledPuppet::GetControlNames() const
{
    return KeysOf(m_controls);
}

void cl_ControlledPuppet::ResetControls()
{
    for (const auto& entry : m_controls)
        entry.second->Reset();
    m_active.clear();
    m_requests.clear();
}

bool cl_ControlledPuppet::DeleteControls()
{
    // The controls give their weights back as they go; they find none of their own lists left.
    const std::map<std::string, std::unique_ptr<cl_PuppetControl>> controls = std::move(m_controls);
    m_controls.clear();
    m_active.clear();
    m_requests.clear();
    return true;
}
