#pragma once

#include "assets/IActionListener.h"
#include "assets/cl_Asset.h"

#include <deque>
#include <memory>
#include <string>
#include <vector>

class IActionTriggerListener;
class cl_AssetLogic;
class cl_BaseActionTrigger;
class cl_SeqAction;
class cl_SequencePlayer;

// One sequence at run time: its actions and the triggers that chain them, read from its element of the
// pool "sequences", and the state of one run. The sequence player starts it, updates it every frame and
// aborts or skips it. It has finished when no action runs, no activation waits and no trigger is pending;
// then its owner logic hears "sequence.Done" (after an abort "sequence.Abort") and its player is told.
//
// Activations never nest: an action activated while another activation is carried out waits in a queue
// and runs after it, in request order.
class cl_SequenceAsset : public cl_Asset, public IActionListener
{
public:
    cl_SequenceAsset();
    ~cl_SequenceAsset() override;

    std::string GetType() const override;
    std::string GetThingType() const override;

    // The "hash" attribute read as a decimal integer; 0 when absent or not a number.
    int GetHash() const { return m_hash; }
    void SetHash(int hash) { m_hash = hash; }

    // Takes the action over, listens to it and becomes its sequence; actions keep the order they were
    // added in.
    void AddAction(std::unique_ptr<cl_SeqAction> action);
    void AddTrigger(std::unique_ptr<cl_BaseActionTrigger> trigger);
    // Deletes every trigger and action and forgets the running ones. Not while the sequence runs.
    void Clear();
    const std::vector<std::unique_ptr<cl_SeqAction>>& GetActions() const { return m_actions; }
    const std::vector<std::unique_ptr<cl_BaseActionTrigger>>& GetTriggers() const { return m_triggers; }
    // The first action with that id, or null.
    cl_SeqAction* FindAction(const std::string& id) const;
    // How many triggers have the action among their outputs.
    size_t CountTriggersTo(const IActionTriggerListener& action) const;

    // The id of the action a run starts with; empty for the first action.
    const std::string& GetStartId() const { return m_startId; }
    void SetStartId(const std::string& id) { m_startId = id; }

    // Starts a run: resets every action and trigger and the run's flags, counts the run in the current
    // character's busy count when the sequence is blocking, lets every action join its sync group and
    // activates the start action (else the first; none for a sequence without actions).
    void Start();
    // Once per frame while the sequence is its layer's front: the end check, then the running actions'
    // and the triggers' updates and the end check again. Nothing unless it runs.
    void Update(float dt);
    // The end check (nothing unless it runs): forgets the actions that are done; when nothing is left to
    // run, wait for or fire, the sequence has finished: it stops, gives its busy count back, stops every
    // action, sends "sequence.Done" to its owner logic and tells its player.
    void OnFinished();
    // Ends the run at once: gives the busy count back, stops every action, then sends "sequence.Abort" to
    // the owner logic. Running actions are told nothing else.
    void Abort();
    // Skips every running action (which may activate the next ones at once), then the end check.
    void Skip();
    // Activates the first marker action of that name, then the end check. A name beginning with "random"
    // picks a marker by number at random (RandomMarker); a name no marker has changes nothing.
    void GoToMarker(const std::string& name);
    // Queues the activation of action; carried out at once unless an activation is under way.
    void ActivateAction(cl_SeqAction* action);

    // The running list grows by the action; the sequence is no longer interruptible in this run unless
    // the action keeps it so, and its player's listeners hear the moment it stops being interruptible.
    void OnActivated(cl_SeqAction* action) override;
    // Ends are noticed through the actions' done flags.
    void OnStarted(cl_SeqAction* action) override;
    void OnDone(cl_SeqAction* action, bool success) override;
    void OnAborted(cl_SeqAction* action, bool success) override;

    // Started and ended (finished or aborted) in this run.
    bool IsStarted() const { return m_started; }
    bool IsStopped() const { return m_stopped; }
    bool IsInterruptible() const { return m_interruptible; }
    void SetInterruptible(bool interruptible) { m_interruptible = interruptible; }
    // The player aborts the sequence at its next update of the layer.
    bool IsAbortRequested() const { return m_abortRequested; }
    void SetAbortRequested(bool requested) { m_abortRequested = requested; }
    // A blocking run holds the current character's busy count.
    bool IsBlocking() const { return m_blocking; }
    void SetBlocking(bool blocking) { m_blocking = blocking; }

    // The logic that hears "sequence.Done" and "sequence.Abort" and on whose behalf scripts and
    // conditions run (not owned); null: nobody is told.
    cl_AssetLogic* GetOwnerLogic() const { return m_ownerLogic; }
    void SetOwnerLogic(cl_AssetLogic* logic) { m_ownerLogic = logic; }
    // The object the interaction shown is on and the item used on it; null when none (not owned).
    cl_Asset* GetInteractionTarget() const { return m_interactionTarget; }
    void SetInteractionTarget(cl_Asset* target) { m_interactionTarget = target; }
    cl_Asset* GetUsedItem() const { return m_usedItem; }
    void SetUsedItem(cl_Asset* item) { m_usedItem = item; }
    // The kind of call: an interaction mode, "used_by", "examine", "none".
    const std::string& GetCallerName() const { return m_callerName; }
    void SetCallerName(const std::string& name) { m_callerName = name; }
    // The player that plays the sequence and is told of its end (not owned); null for none.
    void SetPlayer(cl_SequencePlayer* player) { m_player = player; }
    // The busy count the run holds went from the character with id from to the one with id to.
    void OnCountHandedOver(const std::string& from, const std::string& to);

private:
    // The marker name a go-to target stands for: itself, unless it begins with "random". Then one
    // separator character and a count N follow ("random_3"; no count: N = 2), and the name is a number
    // from "0" to "N - 1" drawn from GameRand, "N" itself when it draws 32767.
    static std::string RandomMarker(const std::string& name);
    void Reset();
    // Adds 1 to the current character's busy count and remembers the character.
    void CountRun();
    // Gives the count back to the character holding it (the one it was taken from, unless the game
    // components handed it on), when that still exists.
    void GiveBackCount();
    bool IsTriggerPending() const;
    void SendToOwner(const std::string& event, const cl_Argument* data) const;

    std::vector<std::unique_ptr<cl_BaseActionTrigger>> m_triggers;
    std::vector<std::unique_ptr<cl_SeqAction>> m_actions;
    std::vector<cl_SeqAction*> m_running;
    // The running list as the frame's updates walk it, kept so that no frame allocates.
    std::vector<cl_SeqAction*> m_updating;
    std::deque<cl_SeqAction*> m_activationQueue;
    cl_AssetLogic* m_ownerLogic = nullptr;
    std::string m_callerName;
    cl_Asset* m_interactionTarget = nullptr;
    cl_Asset* m_usedItem = nullptr;
    cl_SequencePlayer* m_player = nullptr;
    std::string m_startId;
    // The id of the character whose busy count the run holds; empty while it holds none.
    std::string m_countedCharacter;
    int m_hash = 0;
    bool m_stopped = false;
    bool m_started = false;
    bool m_interruptible = false;
    bool m_abortRequested = false;
    bool m_blocking = false;
};
