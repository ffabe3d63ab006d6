#pragma once

#include <string>

// Told of every state a chart's owner enters and leaves, in the order it happens. Listeners may send
// events to the chart; such events wait until the event under way is finished.
class IStateChartListener
{
public:
    virtual void NotifyStateEntered(const std::string& stateId, std::string ownerId) = 0;
    virtual void NotifyStateExited(const std::string& stateId, std::string ownerId) = 0;
    virtual ~IStateChartListener() = default;
};
