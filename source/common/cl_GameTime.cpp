#include "common/cl_GameTime.h"

#include "common/CommandArguments.h"
#include "common/IGameTimeListener.h"
#include "common/LogCall.h"
#include "common/cl_Command.h"
#include "common/cl_CommandDistributor.h"

#include <algorithm>
#include <cctype>

namespace
{
const char* const RECEIVER_NAME = "gametime";
const char* const DEFAULT_GROUP = "default";

// The commands of "gametime", matched upper-cased: each writes one value of a group. Both arguments may be
// absent, or of another kind: the group is then "default" and the value 1.0, with a warning.
const struct
{
    const char* name;
    const char* arguments;
    float TimeGroup::*value;
} GROUP_COMMANDS[] = {
    {"SETTIMEFLOW", "[string group, number time flow]", &TimeGroup::timeFlow},
    {"SETMINCAP", "[string group, number minimum cap]", &TimeGroup::minCap},
    {"SETMAXCAP", "[string group, number maximum cap]", &TimeGroup::maxCap},
};

std::string ToUpper(std::string text)
{
    for (char& character : text)
        character = static_cast<char>(std::toupper(static_cast<unsigned char>(character)));
    return text;
}

// The frame time as a listener of the group gets it; the minimum cap is applied last, so it wins.
float ScaledStep(const TimeGroup& group, float dt)
{
    float step = group.timeFlow * dt;
    if (group.maxCap >= 0.0f && step > group.maxCap)
        step = group.maxCap;
    if (group.minCap >= 0.0f && step < group.minCap)
        step = group.minCap;
    return step;
}
} // namespace

cl_GameTime::cl_GameTime(cl_CommandDistributor& distributor)
    : m_distributor(distributor), m_registered(distributor.RegisterCmdReceiver(RECEIVER_NAME, this)),
      m_next(m_listeners.end())
{
}

cl_GameTime::~cl_GameTime()
{
    if (m_registered)
        m_distributor.UnRegisterCmdReceiver(RECEIVER_NAME);
}

bool cl_GameTime::ExecuteCmd(cl_Command& cmd)
{
    const std::string name = ToUpper(cmd.m_name);

    const CommandArguments args(cmd, RECEIVER_NAME);
    std::string groupName = DEFAULT_GROUP;
    if (args.Any(0).GetType() == cl_Argument::TYPE_STRING)
        groupName = args.String(0);
    else
        LOG_WARNING("A group name is expected as first argument but couldn't be found!");

    float value = 1.0f;
    const cl_Argument::Type given = args.Any(1).GetType();
    if (!args.Has(1))
        LOG_WARNING("A value type is expected as second argument!");
    else if (given == cl_Argument::TYPE_INT || given == cl_Argument::TYPE_DOUBLE)
        value = args.Float(1);
    else
        LOG_WARNING("The second argument has to be an int or double value!");

    for (const auto& command : GROUP_COMMANDS)
    {
        if (name == command.name)
        {
            GetTimeGroup(groupName).*command.value = value;
            return false;
        }
    }
    LOG_ERROR("Received unknown Cmd '%s'!", name.c_str());
    return false;
}

void cl_GameTime::Update(float dt)
{
    m_playedTime += dt;
    CallListeners(dt, true);
}

void cl_GameTime::NotifyZeroStep()
{
    // Unscaled: a group's minimum cap would turn the zero into a step.
    CallListeners(0.0f, false);
}

void cl_GameTime::CallListeners(float dt, bool scaled)
{
    m_next = m_listeners.begin();
    while (m_next != m_listeners.end())
    {
        // Step on before the call: the listener may erase its own entry or the next one.
        const ListenerEntry& entry = m_next->second;
        ++m_next;
        IGameTimeListener* listener = entry.listener;
        listener->Update(scaled ? ScaledStep(GetTimeGroupOrDefault(entry.groupName), dt) : dt);
    }
}

void cl_GameTime::UpdateWhileLoading()
{
    // By index: a member may leave the list while it runs.
    for (size_t index = 0; index < m_zeroTimeListeners.size(); ++index)
        m_zeroTimeListeners[index]->Update(0.0f);
}

void cl_GameTime::AddZeroTimeListener(IGameTimeListener* listener)
{
    if (listener && std::find(m_zeroTimeListeners.begin(), m_zeroTimeListeners.end(), listener) ==
                        m_zeroTimeListeners.end())
        m_zeroTimeListeners.push_back(listener);
}

void cl_GameTime::RemoveZeroTimeListener(IGameTimeListener* listener)
{
    m_zeroTimeListeners.erase(std::remove(m_zeroTimeListeners.begin(), m_zeroTimeListeners.end(), listener),
                              m_zeroTimeListeners.end());
}

uint32_t cl_GameTime::CurrentMilliseconds()
{
    const cl_GameTime* time = GetInstance();
    return time ? time->GetMilliseconds() : 0u;
}

void cl_GameTime::SetPlayedTime(float seconds)
{
    m_playedTime = seconds;
}

float cl_GameTime::GetPlayedTime() const
{
    return m_playedTime;
}

bool cl_GameTime::GetLocalTime(platform::LocalTime& record) const
{
    return ToLocalTime(platform::Time64(), record);
}

bool cl_GameTime::ToLocalTime(int64_t time, platform::LocalTime& record) const
{
    return platform::LocalTime64(time, record);
}

void cl_GameTime::AddListener(IGameTimeListener* listener, const std::string& groupName, int32_t priority)
{
    if (!listener)
        return;
    RemoveListener(listener);
    // A multimap places a new entry behind those of the same priority.
    m_listeners.emplace(priority, ListenerEntry{listener, groupName});
}

bool cl_GameTime::RemoveListener(IGameTimeListener* listener)
{
    for (auto entry = m_listeners.begin(); entry != m_listeners.end(); ++entry)
    {
        if (entry->second.listener != listener)
            continue;
        if (entry == m_next)
            m_next = m_listeners.erase(entry);
        else
            m_listeners.erase(entry);
        return true;
    }
    return false;
}

TimeGroup& cl_GameTime::GetTimeGroup(const std::string& name)
{
    return m_timeGroups[name];
}

const TimeGroup& cl_GameTime::GetTimeGroupOrDefault(const std::string& name)
{
    const auto found = m_timeGroups.find(name);
    if (found != m_timeGroups.end())
        return found->second;
    return m_timeGroups[DEFAULT_GROUP];
}
