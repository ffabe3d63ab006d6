#pragma once

#include "assets/ISyncedActionInitiator.h"
#include "assets/cl_SeqAction.h"
#include "common/cl_SyncGroup.h"

// The base of the lasting actions (walks, turns, the focus, animations): the action is the initiator of
// the work it hands to a character or an object, which tells it when the work begins and ends. Actions of
// one sequence that name the same "syncgroup" take a token of that sync group when their sequence starts
// and give it back when it stops.
class cl_NonInstantSeqAction : public cl_SeqAction, public ISyncedActionInitiator
{
public:
    // Reads the base's data and "syncgroup".
    explicit cl_NonInstantSeqAction(const TiXmlElement* element);

    // With a sync group: takes a new token of the group of that name (none when the group is ready already;
    // the sync manager logs that).
    void JoinSyncGroup() override;
    // Gives the token back.
    void Stop(bool aborted) override;
    // The base's attributes and "syncgroup" when there is one.
    void WriteXml(TiXmlElement& element) const override;

    // Tells the action's listeners OnStarted: the work has really begun.
    void OnStarted() override;
    SyncToken GetSyncToken() const override { return m_syncToken; }
    // Logs the warning, then ends the action as if its work had ended without failure (OnDone(1)).
    void TimeOut(float seconds) override;
    // The action's id.
    std::string GetName() const override;

    const std::string& GetSyncGroup() const { return m_syncGroup; }

protected:
    // Stop of the actions that hand their work to a character: the sync token goes back and the action
    // of the character of that id (see FindCharacter) ends, unheard, when it still is this action's.
    void StopCharacterAction(const std::string& characterId);

private:
    std::string m_syncGroup;
    SyncToken m_syncToken;
};
