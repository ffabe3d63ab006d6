#pragma once

#include <map>
#include <string>

class cl_Asset;
class cl_CharacterAsset;
class cl_TopicAsset;

// Runs the conversations: topic dialogs with a partner character and choice queries that a logic asks.
//
// So far only what the game components, the application and the receiver "game" use: the partner, whether a
// dialog is active, the choice table, and the operations that start, steer and end dialogs, which do
// nothing until there are dialogs. The operations are virtual so that the dialogs subsystem, and tests,
// can stand in.
class cl_DialogSystem
{
public:
    cl_DialogSystem() = default;
    virtual ~cl_DialogSystem() = default;
    cl_DialogSystem(const cl_DialogSystem&) = delete;
    cl_DialogSystem& operator=(const cl_DialogSystem&) = delete;

    // The character talked to; null when no topic dialog runs. Not owned (the characters pool owns it).
    cl_CharacterAsset* GetDialogPartner() const { return m_partner; }
    // Set by the caller before the dialog starts.
    void SetDialogPartner(cl_CharacterAsset* partner) { m_partner = partner; }

    // Whether a dialog holds the player: a partner is set or a choice query is pending (a dialog that is
    // closing behind its last topic's sequence will count too).
    virtual bool IsDialogActive() const;
    // Chooses the entry at index of the list shown; an index out of range during a dialog chooses the exit
    // topic.
    virtual void ChooseByIndex(int index);
    // In a dialog, chooses the first available exit topic.
    virtual void ChooseExitTopic();

    // Whether a logic's choice query waits for the player's answer.
    virtual bool IsChoiceQueryPending() const;
    // Shows the choices set so far and reports the answer to caller's logic (caller may be null).
    virtual void QueryChoice(cl_Asset* caller);
    // The choice table: the text id shown for each choice key.
    const std::map<std::string, std::string>& GetChoices() const { return m_choices; }
    void SetChoice(const std::string& key, const std::string& textId) { m_choices[key] = textId; }
    void ClearChoices() { m_choices.clear(); }

    // Begins the dialog with the partner set.
    virtual void DialogStart();
    // Enters topic in the running dialog; null enters the top level.
    virtual void EnterTopic(cl_TopicAsset* topic);
    // Starts a dialog with character within topic (null when the topic is absent).
    virtual void StartSubDialog(cl_CharacterAsset* character, cl_TopicAsset* topic);
    // Ends the running dialog.
    virtual void ExitDialog();

private:
    cl_CharacterAsset* m_partner = nullptr;
    std::map<std::string, std::string> m_choices;
};
