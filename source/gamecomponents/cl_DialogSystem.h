#pragma once

class cl_CharacterAsset;

// Runs the conversations: topic dialogs with a partner character and choice queries that a logic asks.
//
// So far only what the game components and the application use: the partner, whether a dialog is active,
// and the two ways a click or a key chooses, which do nothing until there are dialogs. The operations are
// virtual so that the dialogs subsystem, and tests, can stand in.
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

    // Whether a dialog holds the player: a partner is set (a pending choice query and a dialog that is
    // closing behind its last topic's sequence will count too).
    virtual bool IsDialogActive() const;
    // Chooses the entry at index of the list shown; an index out of range during a dialog chooses the exit
    // topic.
    virtual void ChooseByIndex(int index);
    // In a dialog, chooses the first available exit topic.
    virtual void ChooseExitTopic();

private:
    cl_CharacterAsset* m_partner = nullptr;
};
