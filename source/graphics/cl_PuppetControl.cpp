#include "graphics/cl_PuppetControl.h"

#include "common/LogCall.h"
#include "common/XmlHelpers.h"
#include "graphics/IPuppetControlListener.h"
#include "graphics/PuppetPose.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_PuppetAnimWeight.h"
#include "graphics/cl_PuppetAnimation.h"
#include "graphics/cl_VisualStateHolder.h"

#include <tinyxml.h>

namespace
{
// The activation trace: information with the puppet-control topic.
const int LEVEL_TRACE = cl_Logger::LEVEL_INFO | cl_Logger::TOPIC_PUPPETCONTROL;

const char* Flag(bool value)
{
    return value ? "true" : "false";
}
} // namespace

cl_PuppetControl::cl_PuppetControl() = default;

cl_PuppetControl::~cl_PuppetControl()
{
    m_fadeTime = 0.0f;
    cl_PuppetControl::ReleaseWeights();
}

void cl_PuppetControl::SaveToXml(TiXmlElement& element) const
{
    element.SetAttribute("enabled", Flag(m_enabled));
    element.SetAttribute("active", Flag(m_active));
    if (m_listener && m_callbackPending)
        element.SetAttribute("callback", "requested");
}

bool cl_PuppetControl::FromXml(const TiXmlElement*)
{
    return true;
}

void cl_PuppetControl::SetEnabled(bool enabled)
{
    m_enabled = enabled;
    m_deactivationRequested = !enabled && m_active;
}

void cl_PuppetControl::Reset()
{
    m_enabled = true;
    m_active = false;
    m_deactivationRequested = false;
    ReportStopped();
    const float fadeTime = m_fadeTime;
    m_fadeTime = 0.0f;
    ReleaseWeights();
    m_fadeTime = fadeTime;
}

void cl_PuppetControl::SaveState(TiXmlElement& element) const
{
    element.SetAttribute("enabled", Flag(m_enabled));
}

void cl_PuppetControl::LoadState(const TiXmlElement& element)
{
    // A state written without the flag keeps it: reading it as "not true" would switch the control off.
    if (const char* enabled = element.Attribute("enabled"))
        SetEnabled(std::string(enabled) == "true");
}

void cl_PuppetControl::ReleaseWeights()
{
    for (const auto& recorded : m_weightRecord)
        recorded.first->SetTarget(recorded.second, m_fadeTime);
    m_weightRecord.clear();
    for (const auto& recorded : m_poseRecord)
        recorded.first->SetWeight(recorded.second, m_fadeTime);
    m_poseRecord.clear();
    for (const auto& recorded : m_flagRecord)
        recorded.first->SetTimeScale(recorded.second != 0.0f ? 1.0f : 0.0f);
    m_flagRecord.clear();
}

void cl_PuppetControl::ForgetRecords()
{
    m_weightRecord.clear();
    m_poseRecord.clear();
    m_flagRecord.clear();
}

void cl_PuppetControl::OnAttached(cl_ControlledPuppet&) {}

bool cl_PuppetControl::OnUpdate(float)
{
    return !m_deactivationRequested;
}

void cl_PuppetControl::OnDeactivated() {}

void cl_PuppetControl::OnActivated(const st_ActivationRequest&) {}

void cl_PuppetControl::RequestActivation(int32_t priority, uint32_t mask)
{
    if (m_puppet)
        m_puppet->QueueRequest(st_ActivationRequest{this, priority, mask});
}

bool cl_PuppetControl::CheckActive() const
{
    if (m_active)
        return true;
    LOG_ERROR("The inactive control '%s' tried to change the animation tree!", GetName().c_str());
    return false;
}

void cl_PuppetControl::SetWeight(cl_PuppetAnimation* animation, float target, float time)
{
    if (CheckActive() && animation)
        RecordAndSetTarget(animation->GetOwner(), target, time);
}

void cl_PuppetControl::SetWeight(std::string_view path, float target, float time)
{
    if (!CheckActive() || !m_puppet)
        return;
    if (cl_PuppetAnimWeight* node = m_puppet->ResolveAnimPath(path))
        RecordAndSetTarget(*node, target, time);
}

void cl_PuppetControl::SetNodeWeight(cl_PuppetAnimWeight* node, float target, float time)
{
    if (CheckActive() && node)
        RecordAndSetTarget(*node, target, time);
}

void cl_PuppetControl::RecordAndSetTarget(cl_PuppetAnimWeight& node, float target, float time)
{
    m_weightRecord.emplace(&node, node.IsFading() ? node.GetFadeTarget() : node.GetValue());
    node.SetTarget(target, time);
}

void cl_PuppetControl::SetPoseWeight(PuppetPose* pose, float target, float time)
{
    if (!CheckActive() || !pose)
        return;
    m_poseRecord.emplace(pose, pose->GetTarget());
    pose->SetWeight(target, time);
}

void cl_PuppetControl::SetRunning(cl_PuppetAnimation* animation, bool running)
{
    if (!CheckActive() || !animation)
        return;
    cl_PuppetAnimWeight& node = animation->GetOwner();
    m_flagRecord.emplace(&node, node.GetTimeScale());
    node.SetTimeScale(running ? 1.0f : 0.0f);
}

void cl_PuppetControl::SetTime(cl_PuppetAnimation* animation, float time)
{
    if (CheckActive() && animation)
        SetTimeRecursive(&animation->GetOwner(), time);
}

void cl_PuppetControl::SetTime(std::string_view path, float time)
{
    if (CheckActive() && m_puppet)
        SetTimeRecursive(m_puppet->ResolveAnimPath(path), time);
}

void cl_PuppetControl::SetNodeTime(cl_PuppetAnimWeight* node, float time)
{
    if (CheckActive())
        SetTimeRecursive(node, time);
}

void cl_PuppetControl::SetTimeRecursive(cl_PuppetAnimWeight* node, float time)
{
    if (!node)
        return;
    node->SetAnimationTimes(time);
    for (const auto& child : node->GetChildren())
        SetTimeRecursive(child.second.get(), time);
}

cl_PuppetMainAnimation* cl_PuppetControl::GetMainAnimation(std::string_view path) const
{
    const cl_PuppetAnimWeight* node = m_puppet ? m_puppet->ResolveAnimPath(path) : nullptr;
    return node ? node->GetMainAnimation() : nullptr;
}

void cl_PuppetControl::SetFallbackAnimation(cl_PuppetAnimation* animation, float time)
{
    if (m_puppet)
        m_puppet->SetFallbackAnimation(animation ? &animation->GetOwner() : nullptr, time);
}

std::string cl_PuppetControl::GetVisualStateName() const
{
    // A holder that never entered a state is in the default one.
    if (!m_owner || m_owner->GetCurrentVisualState().empty())
        return "default";
    return m_owner->GetCurrentVisualState();
}

void cl_PuppetControl::ReportDone()
{
    if (!m_listener || !m_callbackPending)
        return;
    m_callbackPending = false;
    m_listener->OnControlEvent(this, IPuppetControlListener::CODE_DONE);
}

void cl_PuppetControl::ReportStopped()
{
    if (!m_listener || !m_callbackPending)
        return;
    m_callbackPending = false;
    m_listener->OnControlEvent(this, IPuppetControlListener::CODE_STOPPED);
}

void cl_PuppetControl::Report(int code)
{
    if (m_listener)
        m_listener->OnControlEvent(this, code);
}

bool cl_PuppetControl::IsWaitingForSync() const
{
    return !m_syncToken.IsNone() && !m_syncReady;
}

void cl_PuppetControl::GrantActivation(const st_ActivationRequest& request)
{
    Trace("ON");
    m_active = true;
    m_deactivationRequested = false;
    OnActivated(request);
    Report(IPuppetControlListener::CODE_ACTIVATED);
}

void cl_PuppetControl::ConfirmDeactivaton()
{
    Trace("OFF");
    ReleaseWeights();
    m_active = false;
    m_deactivationRequested = false;
    OnDeactivated();
    Report(IPuppetControlListener::CODE_DEACTIVATED);
}

std::string cl_PuppetControl::GetName() const
{
    return m_puppet ? m_puppet->GetControlName(this) : "unknown";
}

void cl_PuppetControl::Trace(const char* change) const
{
    LOG_LEVEL(LEVEL_TRACE, "%s: '%s' of '%s'", change, GetName().c_str(),
              m_puppet ? m_puppet->GetName().c_str() : "unknown");
}

void cl_PuppetControl::DenyActivation()
{
    m_active = false;
    m_deactivationRequested = false;
}

void cl_PuppetControl::SetListener(IPuppetControlListener* listener)
{
    IPuppetControlListener* old = m_listener;
    m_listener = listener;
    if (old && old != listener)
        old->OnControlEvent(this, IPuppetControlListener::CODE_REPLACED);
}
