#pragma once

#include "common/ListenerList.h"
#include "gamecomponents/cl_SequencePlayer.h"

#include <map>
#include <string>
#include <vector>

class cl_AssetLogic;
class cl_Character;
class cl_CharacterAsset;
class cl_SequenceAsset;
class cl_TopicAsset;

// Told when the dialog system's entries change; the dialog view listens. No slot takes an argument.
class IDialogSystemListener
{
public:
    // A choice query was opened.
    virtual void OnChoicesChanged() = 0;
    // The pending choice query was answered or dropped.
    virtual void OnChoicesHidden() = 0;
    virtual void OnDialogStart() = 0;
    virtual void OnDialogExit() = 0;
    // The entry list was rebuilt.
    virtual void OnTopicEnter() = 0;

protected:
    ~IDialogSystemListener() = default;
};

// Runs the conversations: topic dialogs of the current character with a partner character, whose topics
// are offered level by level, and choice queries that any logic asks, whose chosen key goes back to that
// logic as an event. A chosen topic's sequence is queued on the foreground layer, blocking, with the
// topic's logic as its owner.
//
// A dialog and a pending query hold the busy counts of the characters involved: each raise is lowered once
// whichever way the dialog or query ends. The logics told of topics and choices react at once and may call
// back in (start a sub-dialog, exit, clear the choices).
//
// The public operations are virtual so that tests of the game components can stand in.
class cl_DialogSystem : public ISequencePlayerListener
{
public:
    // Listens to player (may be null: a stand-in without sequences), which must outlive it.
    explicit cl_DialogSystem(cl_SequencePlayer* player);
    virtual ~cl_DialogSystem();
    cl_DialogSystem(const cl_DialogSystem&) = delete;
    cl_DialogSystem& operator=(const cl_DialogSystem&) = delete;

    // Listeners are not owned; each must remove itself before it is destroyed.
    void AddListener(IDialogSystemListener* listener) { m_listeners.Add(listener); }
    void RemoveListener(const IDialogSystemListener* listener) { m_listeners.Remove(listener); }

    // The character talked to; null when no topic dialog runs. Not owned (the characters pool owns it).
    virtual cl_CharacterAsset* GetDialogPartner() const { return m_partner; }

    // Starts a dialog with character (null: nothing) in topic (null: the top level). Nothing while a
    // choice query is pending, nor at the top level when the character has no active top-level topic. A
    // running dialog is replaced.
    virtual void StartSubDialog(cl_CharacterAsset* character, cl_TopicAsset* topic);
    // Ends a dialog and a choice query at once; the last topic's sequence may play on.
    virtual void ExitDialog();
    // Whether a dialog holds the player: a partner is set, a choice query is pending, or a dialog closes
    // behind its last topic's sequence.
    virtual bool IsDialogActive() const;
    // Appends the texts of the entries shown: the topics of the dialog, else the choices of a pending
    // query in key order, else nothing.
    void GetEntryTexts(std::vector<std::string>& texts) const;

    // In a dialog: the entry at index, and for an index out of range the first active exit topic. In a
    // query: the choice at index in key order. Otherwise nothing.
    virtual void ChooseByIndex(int index);
    // In a dialog, chooses the first active exit topic; nothing when there is none.
    virtual void ChooseExitTopic();

    // Opens a choice query that answers logic (null: nothing); nothing during a dialog or another query.
    virtual void QueryChoice(cl_AssetLogic* logic);
    virtual bool IsChoiceQueryPending() const { return m_queryPending; }
    // The choices: the text id shown for each key, in key (byte) order. A key set twice keeps its last text.
    const std::map<std::string, std::string>& GetChoices() const { return m_choices; }
    void AddChoice(const std::string& key, const std::string& textId) { m_choices[key] = textId; }
    // Drops the choices and a pending query silently; a pending query's hold on the busy count goes.
    virtual void ClearChoices();

    void OnSequenceStarted(cl_SequenceAsset* /*sequence*/, int /*layer*/) override {}
    void OnSequenceUninterruptible(cl_SequenceAsset* /*sequence*/) override {}
    // An abort ends the last topic's sequence just as a finish does.
    void OnSequenceAborted(cl_SequenceAsset* sequence) override { OnSequenceFinished(sequence); }
    void OnSequenceFinished(cl_SequenceAsset* sequence) override;

private:
    void DialogStart();
    void EnterTopic(cl_TopicAsset* topic);
    void ExitTopic();
    void DialogExit();
    void ChooseTopic(cl_TopicAsset* topic);
    void ChooseChoice(const std::string& key);
    void EnqueueTopicSequence(cl_TopicAsset* topic);

    // The dialog's hold on the busy counts of the partner's character and of the current character.
    void RaiseDialogCount();
    void LowerDialogCount();
    // The dialog's end once the last topic's sequence is over: the focus goes and the counts come down.
    void ReleaseDialog();
    // The current character stops focusing; its focus listener hears it.
    static void StopFocusing();
    static void AddToBusyCount(cl_Character* character, int change);
    void Trace(const std::string& line) const;

    ListenerList<IDialogSystemListener> m_listeners;
    std::map<std::string, std::string> m_choices;
    std::vector<cl_TopicAsset*> m_entries;
    cl_CharacterAsset* m_partner = nullptr;
    cl_AssetLogic* m_askingLogic = nullptr;
    cl_TopicAsset* m_currentTopic = nullptr;
    bool m_queryPending = false;
    bool m_entered = true;
    bool m_closing = false;
    bool m_focusRelease = false;
    cl_SequenceAsset* m_lastTopicSequence = nullptr;
    // Whether the last topic's sequence is queued or plays.
    bool m_lastTopicSequencePending = false;
    // Whether the dialog's raise still waits for its lowering, and the partner's character it reached.
    bool m_dialogCounted = false;
    std::string m_countedPartner;
    cl_SequencePlayer* m_player;
};
