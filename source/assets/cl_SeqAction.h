#pragma once

#include "assets/IActionTriggerListener.h"
#include "common/ListenerList.h"

#include <string>

class IActionListener;
class TiXmlElement;
class cl_Character;
class cl_SequenceAsset;

// One step of a sequence. Per run of its sequence an action is reset, then activated at most once (when
// a trigger fires at it, its sequence starts with it or jumps to it, and its condition holds), then runs
// until it is done: it finishes, is skipped or is aborted. The sequence owns its actions and listens to
// each; triggers listen to the actions they wait for.
class cl_SeqAction : public IActionTriggerListener
{
public:
    // Reads "id" and the text of the child element "condition". A null element makes an action built in
    // code, with neither.
    explicit cl_SeqAction(const TiXmlElement* element);
    virtual ~cl_SeqAction();
    cl_SeqAction(const cl_SeqAction&) = delete;
    cl_SeqAction& operator=(const cl_SeqAction&) = delete;

    // Has the owning sequence activate the action (queued behind activations under way); nothing without
    // a sequence.
    void OnTriggered(cl_BaseActionTrigger* trigger) override;
    // No action takes a firing back.
    void OnUntriggered(cl_BaseActionTrigger* trigger) override;
    std::string GetId() const override;

    // Called every frame while the action runs, dt in seconds of "sequences" time. Nothing here.
    virtual void Update(float dt);
    // Back to before a run: neither done nor activated.
    virtual void Reset();
    // Activates the action, unless it was activated in this run already, its sequence has stopped or its
    // condition does not hold: clears done, tells the listeners OnActivated, then starts it. Returns
    // whether it was activated.
    bool Activate();
    // Ends the action now: done, then the listeners are told OnAborted with success.
    virtual void Skip();
    // The type word of the sequence file; written actions read back to the same class.
    virtual std::string GetTypeName() const = 0;
    // Called for every action as its sequence starts. Nothing here.
    virtual void JoinSyncGroup();
    // Called for every action as its sequence is aborted (true) or finishes (false), running or not.
    // Nothing here.
    virtual void Stop(bool aborted);
    // Writes "id", "type" and, for a condition, the child element "condition" into element.
    virtual void WriteXml(TiXmlElement& element) const;

    // The sequence sets itself when it adopts the action.
    void SetSequence(cl_SequenceAsset* sequence) { m_sequence = sequence; }
    cl_SequenceAsset* GetSequence() const { return m_sequence; }
    // Listeners are not owned; they must outlive the action.
    void AddListener(IActionListener* listener) { m_listeners.Add(listener); }

    bool IsDone() const { return m_done; }
    bool IsActivated() const { return m_activated; }
    // Whether a foreground sequence stays interruptible while this action runs (walks and the focus).
    bool KeepsInterruptible() const { return m_keepsInterruptible; }
    const std::string& GetCondition() const { return m_condition; }

    // "" and "avatar": the current character; any other id the character manager's character of it. Null
    // for none.
    static cl_Character* FindCharacter(const std::string& id);

protected:
    // The action's work, once it is activated. Here the listeners are told OnStarted; instant types do
    // their work and finish within.
    virtual void Start();

    // Tells the listeners OnStarted.
    void NotifyStarted();
    // Done, then the listeners are told OnDone with success.
    void Finish(bool success);
    // Done, then the listeners are told OnAborted with success true.
    void FinishAborted();
    void SetKeepsInterruptible(bool keeps) { m_keepsInterruptible = keeps; }

    // Whether a Lua condition holds. An empty text holds. "return " is put in front of a text that does not
    // begin with it; the condition holds only when the first result is the boolean true (a number, a
    // string, no result or a Lua error do not hold, nor does anything without a script system).
    static bool EvaluateCondition(const std::string& condition);
    // The value of the element's first text node (its content beside any child elements); empty when it
    // has none or the element is null.
    static std::string TextOf(const TiXmlElement* element);

private:
    ListenerList<IActionListener> m_listeners;
    cl_SequenceAsset* m_sequence = nullptr;
    std::string m_id;
    std::string m_condition;
    bool m_keepsInterruptible = false;
    bool m_done = false;
    bool m_activated = false;
};
