#pragma once

#include "assets/IActionListener.h"

#include <memory>
#include <string>

class cl_SeqAction;

// One action that the sequence pool's factory makes of an XML text, run by the test without a sequence,
// with a listener that notes what it reports: "S" started, "D" done with success (else "F"), "A"
// aborted, in order.
class ActionProbe final : public IActionListener
{
public:
    // The test fails when the text makes no action.
    explicit ActionProbe(const std::string& xml);
    ~ActionProbe();

    cl_SeqAction& Action() const { return *m_action; }
    // Activates the action (its condition holding).
    void Start();
    // count updates of dt seconds.
    void Frames(int count, float dt);
    // The action written back, as an element printed on one line.
    std::string Written() const;
    bool IsDone() const;

    void OnActivated(cl_SeqAction*) override {}
    void OnStarted(cl_SeqAction*) override { trace += "S"; }
    void OnDone(cl_SeqAction*, bool success) override { trace += success ? "D" : "F"; }
    void OnAborted(cl_SeqAction*, bool) override { trace += "A"; }

    std::string trace;

private:
    std::unique_ptr<cl_SeqAction> m_action;
};
