#pragma once

#include "assets/IActionTriggerListener.h"
#include "assets/cl_NonInstantSeqAction.h"
#include "assets/cl_SeqAction.h"

#include <memory>
#include <string>
#include <vector>

class ISyncedActionInitiator;
class cl_SequenceAsset;
class cl_SequencePool;

// The sequence the pool makes of the XML text of one asset element; the test fails when the text holds
// no element.
std::unique_ptr<cl_SequenceAsset> ReadSequence(cl_SequencePool& pool, const std::string& xml);

// An action whose reports the test drives: starting it only reports the start; Begin reports a start,
// End finishes it, Skip is the base's.
class DrivenAction : public cl_SeqAction
{
public:
    explicit DrivenAction(const std::string& id = "");

    void Begin() { NotifyStarted(); }
    void End(bool success) { Finish(success); }
    std::string GetTypeName() const override { return "DrivenAction"; }
};

// An instant action that notes "<id>@<depth>" in trace as it starts, depth counting the starts of such
// actions under way on the stack, then finishes.
class DepthAction : public cl_SeqAction
{
public:
    DepthAction(const std::string& id, std::vector<std::string>& trace);

    std::string GetTypeName() const override { return "DepthAction"; }

protected:
    void Start() override;

private:
    std::vector<std::string>& m_trace;
};

// Carries out the work of lasting actions for the test: it keeps each initiator handed to it, and the
// test tells them when their work begins and ends.
class StandInExecutor
{
public:
    void Take(ISyncedActionInitiator* initiator) { initiators.push_back(initiator); }
    void Begin(size_t index);
    void End(size_t index, int result);

    std::vector<ISyncedActionInitiator*> initiators;
};

// A lasting action that hands its work to a stand-in executor; it finishes when the executor ends the
// work (failed work finishes with failure).
class ExecutedAction : public cl_NonInstantSeqAction
{
public:
    ExecutedAction(const std::string& id, const std::string& syncGroup, StandInExecutor& executor);

    std::string GetTypeName() const override { return "ExecutedAction"; }
    void OnDone(int result) override;

protected:
    void Start() override;

private:
    StandInExecutor& m_executor;
};

// Notes what triggers ask of it: "+" for each OnTriggered, "-" for each OnUntriggered.
class RecordingOutput final : public IActionTriggerListener
{
public:
    void OnTriggered(cl_BaseActionTrigger*) override { trace += "+"; }
    void OnUntriggered(cl_BaseActionTrigger*) override { trace += "-"; }
    std::string GetId() const override { return "output"; }

    std::string trace;
};
