#pragma once

#include "assets/ISyncedActionInitiator.h"

#include <algorithm>
#include <string>
#include <vector>

// An initiator that notes what it is told, in order: "started", "done <result>".
class RecordingInitiator final : public ISyncedActionInitiator
{
public:
    void OnDone(int result) override { calls.push_back("done " + std::to_string(result)); }
    void OnStarted() override { calls.push_back("started"); }
    void TimeOut(float) override {}

    // How often it was told that its action ended.
    long Ends() const
    {
        return std::count_if(calls.begin(), calls.end(),
                             [](const std::string& call) { return call.rfind("done ", 0) == 0; });
    }

    std::vector<std::string> calls;
};
