#pragma once

#include "ISingleton.h"
#include "common/ICommandReceiver.h"
#include "platform/LocalTime.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class IGameTimeListener;
class cl_CommandDistributor;

// How the frame time reaches the listeners of one group: scaled by the time flow, then held within the
// caps. A negative cap is off; a minimum cap above the maximum cap wins.
struct TimeGroup
{
    float timeFlow = 1.0f;
    float maxCap = -1.0f;
    float minCap = -1.0f;
};

// The one clock of the running game. The application hands it each frame's time; it counts the played
// time and calls every listener with that time scaled for the listener's time group. It also answers the
// millisecond clock (frame limiter, log records) and the local date and time (save games).
//
// It is the command receiver "gametime", registered with the distributor given to the constructor, which
// must outlive it.
class cl_GameTime : public ISingleton<cl_GameTime>, public ICommandReceiver
{
public:
    explicit cl_GameTime(cl_CommandDistributor& distributor);
    ~cl_GameTime() override;

    // The receiver "gametime", its commands in GROUP_COMMANDS of cl_GameTime.cpp (SETTIMEFLOW, SETMINCAP,
    // SETMAXCAP group value; the name compared upper-cased). group: a string, else "default" with a
    // warning. value: an int or a double, else 1.0 with a warning. A group named here is created when it
    // does not exist. Appends no results and answers false.
    bool ExecuteCmd(cl_Command& cmd) override;

    // Adds dt (seconds, unscaled) to the played time, then calls every listener in ascending priority,
    // equal priorities in registration order, each with dt scaled for its group. Listeners may add and
    // remove listeners (themselves included) while they are called: a removed listener is not called
    // any more, and an added one is called in this pass only when it lands behind the listener the pass
    // calls next. An update started from inside a listener runs a whole pass and ends the outer one.
    virtual void Update(float dt);
    // Calls every listener once with a step of 0, whatever its group (loaders call it after each piece
    // they build, so that listeners show a new piece at once). The played time stays.
    void NotifyZeroStep();
    // Loaders call this now and then during long loads, while no frame runs: every member of the
    // zero-time list gets Update(0) (the sound system, so that streamed music plays on).
    virtual void UpdateWhileLoading();
    // The zero-time list. Members are not owned and remove themselves before they die; adding one twice
    // keeps it once.
    void AddZeroTimeListener(IGameTimeListener* listener);
    void RemoveZeroTimeListener(IGameTimeListener* listener);
    // Milliseconds since the end of the last update.
    virtual float GetElapsedMilliseconds() const = 0;
    // The millisecond clock at the end of the last update.
    virtual float GetLastUpdateMilliseconds() const = 0;
    // The millisecond clock, wrapping at 2^32. It never logs, so the log may stamp its records with it.
    virtual uint32_t GetMilliseconds() const = 0;
    // The game time's millisecond clock; 0 while there is no game time. For timing a piece of work.
    static uint32_t CurrentMilliseconds();
    // Seconds of play, restored from and written to save games.
    virtual void SetPlayedTime(float seconds);
    virtual float GetPlayedTime() const;
    // The current local date and time. False when the C library cannot break the time down; the record
    // then holds only the time.
    virtual bool GetLocalTime(platform::LocalTime& record) const;
    // time: seconds since 1970-01-01 UTC. Same answer as GetLocalTime.
    virtual bool ToLocalTime(int64_t time, platform::LocalTime& record) const;

    // Registers listener (not owned; null is ignored) under a group name, which need not exist yet.
    // A listener already registered is moved: new group, new priority, behind every listener of that
    // priority.
    void AddListener(IGameTimeListener* listener, const std::string& groupName, int32_t priority);
    // False when the listener (or null) was not registered.
    bool RemoveListener(IGameTimeListener* listener);

    // The group of that exact name, created with the values of a new group when missing; for writing.
    TimeGroup& GetTimeGroup(const std::string& name);
    // The group of that name, or "default" when there is none ("default" is created when missing too).
    const TimeGroup& GetTimeGroupOrDefault(const std::string& name);

private:
    struct ListenerEntry
    {
        IGameTimeListener* listener;
        std::string groupName;
    };
    using ListenerMap = std::multimap<int32_t, ListenerEntry>;

    // One pass over the listeners; scaled: each gets dt scaled for its group, else dt itself.
    void CallListeners(float dt, bool scaled);

    cl_CommandDistributor& m_distributor;
    // False when another receiver held the name: that registration is not ours to remove.
    bool m_registered;
    ListenerMap m_listeners;
    std::vector<IGameTimeListener*> m_zeroTimeListeners;
    std::map<std::string, TimeGroup> m_timeGroups;
    // Where the running update goes on; RemoveListener moves it past an entry it erases. End otherwise.
    ListenerMap::iterator m_next;
    float m_playedTime = 0.0f;
};
