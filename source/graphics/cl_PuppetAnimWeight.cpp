#include "graphics/cl_PuppetAnimWeight.h"

#include "common/LogCall.h"
#include "common/StringHelpers.h"
#include "common/XmlHelpers.h"
#include "common/XmlNumbers.h"
#include "common/cl_GameTime.h"
#include "graphics/cl_Puppet.h"
#include "graphics/cl_PuppetMainAnimation.h"
#include "graphics/cl_PuppetSlaveAnimation.h"

#include <tinyxml.h>

#include <algorithm>
#include <iterator>

cl_PuppetAnimWeight::cl_PuppetAnimWeight(cl_PuppetAnimWeight* parent) : m_parent(parent) {}

cl_PuppetAnimWeight::~cl_PuppetAnimWeight() = default;

bool cl_PuppetAnimWeight::FromXml(const TiXmlElement& element, cl_Puppet& puppet)
{
    if (element.ValueStr() != "weight")
    {
        LOG_ERROR("Couldn't load weight from xml - weight node expected.");
        return false;
    }
    SetTarget(NumberAttribute(element, "value", 0.0f), 0.0f);
    if (IsTrueAttribute(element, "sync"))
        NoteSync();
    else
        m_sync = false;
    if (const char* group = element.Attribute("normalization"))
        m_group = &puppet.GetNormalizationGroup(group);
    for (const TiXmlElement* animation = element.FirstChildElement("animation"); animation;
         animation = animation->NextSiblingElement("animation"))
    {
        ReadAnimation(*animation, puppet);
        if (cl_GameTime* gameTime = cl_GameTime::GetInstance())
            gameTime->UpdateWhileLoading();
    }
    m_fadeOutTime = NumberAttribute(element, "out", m_fadeOutTime);
    m_fadeInTime = NumberAttribute(element, "in", m_fadeInTime);
    for (const TiXmlElement* weight = element.FirstChildElement("weight"); weight;
         weight = weight->NextSiblingElement("weight"))
    {
        const char* name = weight->Attribute("name");
        if (!name)
        {
            LOG_WARNING("Skipped a weight node below '%s' because it lacks the attribute 'name'!",
                        GetPath().c_str());
            continue;
        }
        cl_PuppetAnimWeight& child = GetOrCreateChild(name);
        child.FromXml(*weight, puppet);
        if (m_sync)
            child.MakeSync();
    }
    return true;
}

void cl_PuppetAnimWeight::NoteSync()
{
    m_sync = true;
    for (cl_PuppetAnimWeight* node = this; node && !node->m_syncInSubtree; node = node->m_parent)
        node->m_syncInSubtree = true;
}

void cl_PuppetAnimWeight::MakeSync()
{
    NoteSync();
    for (const auto& child : m_children)
        child.second->MakeSync();
}

void cl_PuppetAnimWeight::ReadAnimation(const TiXmlElement& element, cl_Puppet& puppet)
{
    if (const char* skeletonFile = element.Attribute("skeletonfile"))
        puppet.AddSkeletonFile(skeletonFile);
    const char* name = element.Attribute("name");
    if (!name)
    {
        LOG_WARNING("Skipped Animation because it's definition lacks required attribute 'name'!");
        return;
    }
    if (const char* slave = element.Attribute("slave"))
    {
        const bool fresh = !m_slaveAnimations.count(slave);
        if (!AddSlaveAnimation(slave, puppet).FromXml(element) || !fresh)
            LOG_WARNING("Loading and adding animation '%s' of slaveobject '%s' failed!", name, slave);
        return;
    }
    const bool fresh = !m_mainAnimation;
    if (!AddMainAnimation(puppet).FromXml(element) || !fresh)
        LOG_WARNING("Adding MainAnimation '%s' failed!", name);
}

void cl_PuppetAnimWeight::SetTarget(float target, float time)
{
    if (time > 0.0f)
        m_fade.Start(m_value, target, time);
    else if (time < 0.0f && m_value != target)
        m_fade.Start(m_value, target, m_value < target ? m_fadeInTime : m_fadeOutTime);
    else if (time < 0.0f)
        m_fade.Hold(target);
    else
    {
        m_fade.Hold(target);
        m_value = target;
    }
    if (m_mainAnimation)
        m_mainAnimation->SetWeightChanged(true);
    for (const auto& slave : m_slaveAnimations)
        slave.second->SetWeightChanged(true);
    Wake();
}

void cl_PuppetAnimWeight::Wake()
{
    for (cl_PuppetAnimWeight* node = this; node && node->m_resting; node = node->m_parent)
        node->m_resting = false;
}

void cl_PuppetAnimWeight::ClearSyncTimes()
{
    m_syncTime = -1.0f;
    for (cl_PuppetAnimWeight* child : m_ordered)
        child->ClearSyncTimes();
}

void cl_PuppetAnimWeight::Update(float dt)
{
    if (m_fade.IsRunning())
    {
        const float value = m_fade.Advance(dt);
        if (m_fade.IsRunning())
            m_value = value;
        else
            SetTarget(value, 0.0f);
    }
    if (!m_parent)
        m_effectiveWeight = m_value;
    else
        m_effectiveWeight = m_value == 0.0f ? 0.0f : m_parent->m_effectiveWeight * m_value;
    if (m_resting && m_effectiveWeight == 0.0f)
        return;
    for (cl_PuppetAnimWeight* child : m_ordered)
        child->Update(dt);
    if (m_effectiveWeight != 0.0f && m_group)
        m_group->sum += m_effectiveWeight;
}

void cl_PuppetAnimWeight::Apply(float dt)
{
    if (m_resting && m_effectiveWeight == 0.0f)
        return;
    const float scaled = dt * m_timeScale;
    bool resting = m_effectiveWeight == 0.0f && !m_fade.IsRunning();
    for (cl_PuppetAnimWeight* child : m_ordered)
    {
        child->Apply(scaled);
        resting = resting && child->m_resting;
    }
    const auto still = [](const cl_PuppetAnimation& animation)
    { return !animation.IsEnabled() && !animation.HasWeightChanged(); };
    if (m_mainAnimation)
    {
        m_mainAnimation->Apply(scaled);
        resting = resting && still(*m_mainAnimation);
    }
    for (const auto& slave : m_slaveAnimations)
    {
        slave.second->Apply(scaled);
        resting = resting && still(*slave.second);
    }
    // At rest every sync time below is -1, as SyncTimes, which then passes over the subtree, would find.
    if (resting && !m_resting)
        ClearSyncTimes();
    m_resting = resting;
}

void cl_PuppetAnimWeight::SyncTimes()
{
    if (!m_syncInSubtree || m_resting)
        return;
    m_syncTime = -1.0f;
    if (m_sync && m_mainAnimation && m_mainAnimation->IsEnabled())
        m_syncTime = m_mainAnimation->GetTimePosition();
    for (cl_PuppetAnimWeight* child : m_ordered)
    {
        cl_PuppetAnimWeight& node = *child;
        node.SyncTimes();
        if (m_sync && node.m_syncTime != -1.0f && (m_syncTime == -1.0f || node.m_syncTime < m_syncTime))
            m_syncTime = node.m_syncTime;
    }
}

cl_PuppetMainAnimation& cl_PuppetAnimWeight::AddMainAnimation(cl_Puppet& puppet)
{
    if (m_mainAnimation)
        LOG_WARNING("An MainAnimation allready exists in the weight-node '%s'!", GetPath().c_str());
    else
        m_mainAnimation = std::make_unique<cl_PuppetMainAnimation>(puppet, *this);
    Wake();
    return *m_mainAnimation;
}

cl_PuppetSlaveAnimation& cl_PuppetAnimWeight::AddSlaveAnimation(const std::string& slave, cl_Puppet& puppet)
{
    std::unique_ptr<cl_PuppetSlaveAnimation>& animation = m_slaveAnimations[slave];
    if (animation)
        LOG_WARNING("An Animation for the slave '%s' allready exists in this weight-node!", slave.c_str());
    else
        animation = std::make_unique<cl_PuppetSlaveAnimation>(puppet, *this, slave);
    Wake();
    return *animation;
}

cl_PuppetAnimWeight& cl_PuppetAnimWeight::GetOrCreateChild(std::string_view name)
{
    const auto found = m_children.find(name);
    if (found != m_children.end())
        return *found->second;
    Wake();
    const auto made =
        m_children.emplace(std::string(name), std::make_unique<cl_PuppetAnimWeight>(this)).first;
    m_ordered.insert(m_ordered.begin() + std::distance(m_children.begin(), made), made->second.get());
    return *made->second;
}

cl_PuppetAnimWeight* cl_PuppetAnimWeight::GetChild(int index) const
{
    if (index < 0 || index >= static_cast<int>(m_ordered.size()))
        return nullptr;
    return m_ordered[static_cast<size_t>(index)];
}

std::string cl_PuppetAnimWeight::GetPath() const
{
    if (!m_parent)
        return std::string();
    for (const auto& child : m_parent->m_children)
    {
        if (child.second.get() == this)
            return m_parent->GetPath() + "/" + child.first;
    }
    return std::string();
}

void cl_PuppetAnimWeight::SetAnimationTimes(float time)
{
    if (m_mainAnimation)
        m_mainAnimation->SetTimePosition(time);
    for (const auto& slave : m_slaveAnimations)
        slave.second->SetTimePosition(time);
}

float cl_PuppetAnimWeight::GetSyncTime() const
{
    const cl_PuppetAnimWeight* node = this;
    while (node->m_parent && node->m_parent->m_sync)
        node = node->m_parent;
    return node->m_syncTime;
}

void cl_PuppetAnimWeight::WriteAnimationList(const std::string& path, TiXmlElement& element) const
{
    if (m_mainAnimation)
        AppendChild(element, "anim")->SetAttribute("name", path);
    for (const auto& child : m_children)
        child.second->WriteAnimationList(path + "/" + child.first, element);
}

float cl_PuppetAnimWeight::GetFadeOutTime() const
{
    float longest = m_fade.GetTarget() == 0.0f ? m_fade.GetRemainingTime() : 0.0f;
    for (const auto& child : m_children)
        longest = std::max(longest, child.second->GetFadeOutTime());
    return longest;
}

void cl_PuppetAnimWeight::SaveState(TiXmlElement& element) const
{
    if (m_children.empty())
        element.SetAttribute("value", Format("%f", GetNormalizedWeight()));
    if (m_mainAnimation)
        m_mainAnimation->SaveState(*AppendChild(element, "mainanim"));
    for (const auto& slave : m_slaveAnimations)
    {
        TiXmlElement& written = *AppendChild(element, "slaveanim");
        slave.second->SaveState(written);
        written.SetAttribute("slave", slave.first);
    }
    for (const auto& child : m_children)
    {
        if (child.second->GetNormalizedWeight() == 0.0f)
            continue;
        TiXmlElement& written = *AppendChild(element, "weight");
        written.SetAttribute("name", child.first);
        child.second->SaveState(written);
    }
}
