#pragma once

#include "assets/IActionListener.h"

#include <string>
#include <vector>

class IActionTriggerListener;
class TiXmlElement;

// Turns what some actions report (its inputs) into the activation of others (its outputs). A trigger
// fires at most once per run of its sequence; firing tells the outputs OnTriggered in the order they were
// added. This base listens and never fires; the timeline and success triggers decide when to.
class cl_BaseActionTrigger : public IActionListener
{
public:
    // name is used only in warnings; empty for a trigger without id.
    explicit cl_BaseActionTrigger(const std::string& name);
    virtual ~cl_BaseActionTrigger();
    cl_BaseActionTrigger(const cl_BaseActionTrigger&) = delete;
    cl_BaseActionTrigger& operator=(const cl_BaseActionTrigger&) = delete;

    void OnActivated(cl_SeqAction* action) override;
    void OnStarted(cl_SeqAction* action) override;
    void OnDone(cl_SeqAction* action, bool success) override;
    void OnAborted(cl_SeqAction* action, bool success) override;

    // Called every frame of the sequence's run, dt in seconds. Nothing here.
    virtual void Update(float dt);
    // Back to before a run: not fired.
    virtual void Reset();
    // Whether the trigger still waits to fire and keeps its sequence from finishing. Never here.
    virtual bool IsPending() const;
    // Writes the name as "id" (when there is one), then appends an "input" child (attribute "actionid")
    // per input and an "output" child (attribute "listenerid") per output.
    virtual void WriteXml(TiXmlElement& element) const;

    // Listens to the action (not owned; it must outlive the trigger or never report again).
    void AddInput(cl_SeqAction* action);
    // output is not owned.
    void AddOutput(IActionTriggerListener* output) { m_outputs.push_back(output); }
    // Whether the trigger sets off listener when it fires.
    bool HasOutput(const IActionTriggerListener& listener) const;

    const std::string& GetName() const { return m_name; }
    bool IsFired() const { return m_fired; }

protected:
    // Fired, then the outputs are told OnTriggered.
    void Fire();
    // Not fired, then the outputs are told OnUntriggered.
    void Retract();

private:
    std::string m_name;
    bool m_fired = false;
    std::vector<IActionTriggerListener*> m_outputs;
    std::vector<cl_SeqAction*> m_inputs;
};
