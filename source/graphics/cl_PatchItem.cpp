#include "graphics/cl_PatchItem.h"

#include "assets/ISyncedActionInitiator.h"
#include "common/cl_GameTime.h"
#include "graphics/IPatchAnimationEventListener.h"
#include "graphics/cl_AnimatedPatch.h"
#include "graphics/cl_Scene.h"
#include "graphics/cl_SceneManager.h"

#include <algorithm>
#include <vector>

namespace
{
// A time that lies on a frame's start may come out a hair below it in float arithmetic; this share of a
// frame keeps it in its frame.
const double FRAME_START_TOLERANCE = 1e-4;

// The frame the patch shows at that time, within 0 ... frame count - 1 (0 for a time that is no number).
int FrameAt(const cl_AnimatedPatch& patch, float time)
{
    const int frameCount = patch.GetFrameCount();
    const double share = static_cast<double>(time) * frameCount / patch.GetDuration() + FRAME_START_TOLERANCE;
    if (share >= frameCount)
        return frameCount - 1;
    return share >= 1.0 ? static_cast<int>(share) : 0;
}
} // namespace

cl_PatchItem::cl_PatchItem(const std::string& id) : m_id(id) {}

cl_PatchItem::~cl_PatchItem()
{
    StopAnimation();
    Listen(false);
}

cl_AnimatedPatch* cl_PatchItem::FindAnimatedPatch(const std::string& name)
{
    const cl_SceneManager* scenes = cl_SceneManager::GetInstance();
    const cl_Scene* scene = scenes ? scenes->GetLoadedScene() : nullptr;
    return scene ? dynamic_cast<cl_AnimatedPatch*>(scene->GetPatch(name)) : nullptr;
}

void cl_PatchItem::PlayAnimation(const std::string& name, ISyncedActionInitiator* initiator)
{
    StopAnimation();
    const auto found = m_animations.find(name);
    if (found == m_animations.end() || !StartAnimation(found->second))
    {
        if (initiator)
            initiator->OnDone(ISyncedActionInitiator::RESULT_FAILED);
        return;
    }
    if (!initiator)
        return;
    initiator->OnStarted();
    // The initiator may have stopped the animation already.
    if (!m_current)
        return;
    m_initiator = initiator;
    Listen(true);
}

void cl_PatchItem::StopAnimation()
{
    Finish(ISyncedActionInitiator::RESULT_ABORTED);
}

void cl_PatchItem::ReleasePatch()
{
    if (m_patch)
    {
        if (m_savedVisibility)
            m_patch->Show();
        else
            m_patch->Hide();
    }
    m_patch = nullptr;
    m_current = nullptr;
    ++m_generation;
}

void cl_PatchItem::Finish(int result)
{
    ReleasePatch();
    Listen(false);
    ISyncedActionInitiator* initiator = m_initiator;
    m_initiator = nullptr;
    if (initiator)
        initiator->OnDone(result);
}

bool cl_PatchItem::StartAnimation(const st_PatchAnimationProperties& properties)
{
    ReleasePatch();
    cl_AnimatedPatch* patch = FindAnimatedPatch(properties.patch);
    if (!patch)
        return false;
    m_savedVisibility = patch->IsVisible();
    m_current = &properties;
    m_patch = patch;
    patch->Show();
    patch->SetTimePosition(patch->GetDuration() / static_cast<float>(patch->GetFrameCount()) *
                           static_cast<float>(properties.startFrame));
    patch->SetSpeed(properties.speed);
    patch->SetMode(cl_AnimatedPatch::MODE_NONE);
    patch->Update(0.0f);
    m_elapsed = 0.0f;
    patch->SetPlaying(!properties.hasSequence);
    return true;
}

void cl_PatchItem::Update(float dt)
{
    if (!m_current || !m_patch)
        return;
    const st_PatchAnimationProperties& current = *m_current;
    cl_AnimatedPatch& patch = *m_patch;
    bool ended = false;
    if (!current.hasSequence)
    {
        const float t0 = patch.GetTimePosition();
        if (!FireEvents(t0, t0 + current.speed * dt))
            return;
        const int frame = FrameAt(patch, t0);
        ended = (current.speed > 0.0f && frame >= current.endFrame) ||
                (current.speed < 0.0f && frame <= current.endFrame);
    }
    else
    {
        const float e0 = m_elapsed;
        m_elapsed += dt;
        if (!FireEvents(current.speed * e0, current.speed * m_elapsed))
            return;
        const size_t entries = current.frameSequence.size();
        const float share = m_elapsed / current.duration * static_cast<float>(entries);
        ended = !(share < static_cast<float>(entries));
        if (!ended)
            patch.SetFrame(current.frameSequence[static_cast<size_t>(std::max(share, 0.0f))]);
    }
    if (!ended)
        return;
    patch.SetFrame(current.endFrame);
    patch.SetPlaying(false);
    const auto followup = m_animations.find(current.followup);
    if (!current.followup.empty() && followup != m_animations.end())
    {
        // The follow-up's own patch saves and restores its visibility; this one keeps what it shows.
        m_patch = nullptr;
        if (StartAnimation(followup->second))
            return;
    }
    Finish(ISyncedActionInitiator::RESULT_FINISHED);
}

bool cl_PatchItem::FireEvents(float from, float to)
{
    const st_PatchAnimationProperties* current = m_current;
    const unsigned generation = m_generation;
    for (const auto& event : current->events)
    {
        const float time = event.second;
        const bool inside = (current->speed > 0.0f && from <= time && time < to) ||
                            (current->speed < 0.0f && to < time && time <= from);
        if (!inside)
            continue;
        const auto listening = current->listeners.find(event.first);
        if (listening == current->listeners.end())
            continue;
        // A listener may add or remove listeners, or change what plays.
        const std::vector<IPatchAnimationEventListener*> listeners(listening->second.begin(),
                                                                   listening->second.end());
        for (IPatchAnimationEventListener* listener : listeners)
        {
            if (current->listeners.at(event.first).count(listener))
                listener->OnAnimationEvent(event.first);
            if (generation != m_generation)
                return false;
        }
    }
    return true;
}

void cl_PatchItem::Listen(bool listen)
{
    if (listen == m_listening)
        return;
    cl_GameTime* time = cl_GameTime::GetInstance();
    if (listen && time)
        time->AddListener(this, "default", 0);
    else if (!listen && time)
        time->RemoveListener(this);
    m_listening = listen && time;
}

st_PatchAnimationProperties& cl_PatchItem::SetAnimation(const std::string& name,
                                                        const st_PatchAnimationProperties& record)
{
    // What plays may be the record replaced here.
    if (m_current == &m_animations[name])
        StopAnimation();
    return m_animations[name] = record;
}

void cl_PatchItem::ClearAnimations()
{
    StopAnimation();
    m_animations.clear();
}

void cl_PatchItem::AddAnimationEvent(const std::string& animation, const std::string& event, float time)
{
    const auto found = m_animations.find(animation);
    if (found != m_animations.end())
        found->second.events.emplace(event, time);
}

st_PatchAnimationProperties* cl_PatchItem::FindByKey(const std::string& key, std::string& event)
{
    const size_t hash = key.find('#');
    const std::string animation = key.substr(0, hash);
    event = hash == std::string::npos ? std::string() : key.substr(hash + 1);
    const auto found = m_animations.find(animation);
    return found == m_animations.end() ? nullptr : &found->second;
}

void cl_PatchItem::AddAnimationEventListener(const std::string& key, IPatchAnimationEventListener* listener)
{
    std::string event;
    if (st_PatchAnimationProperties* animation = FindByKey(key, event))
        animation->listeners[event].insert(listener);
}

void cl_PatchItem::RemoveAnimationEventListener(const std::string& key,
                                                IPatchAnimationEventListener* listener)
{
    std::string event;
    st_PatchAnimationProperties* animation = FindByKey(key, event);
    if (!animation)
        return;
    const auto found = animation->listeners.find(event);
    if (found != animation->listeners.end())
        found->second.erase(listener);
}
