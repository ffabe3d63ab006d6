#pragma once

#include "assets/ISyncedActionInitiator.h"

#include <string>
#include <vector>

// An initiator that notes what it is told, in order: "started", "done <result>".
class RecordingInitiator final : public ISyncedActionInitiator
{
public:
    void OnDone(int result) override { calls.push_back("done " + std::to_string(result)); }
    void OnStarted() override { calls.push_back("started"); }
    void TimeOut(float) override {}

    std::vector<std::string> calls;
};
