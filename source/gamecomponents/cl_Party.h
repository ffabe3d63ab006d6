#pragma once

#include "assets/IGameStateListener.h"
#include "common/ListenerList.h"

#include <string>

class TiXmlElement;

// Told of changes of the party; the party view listens.
class IPartyListener
{
public:
    virtual void OnMemberAdded(const std::string& characterId) = 0;
    virtual void OnMemberRemoved(const std::string& characterId) = 0;
    // A member's tag changed, the chapter changed or a game state was loaded: show the party anew.
    virtual void OnPartyChanged() = 0;

protected:
    // Listeners are never deleted through this interface.
    ~IPartyListener() = default;
};

// The characters of the player's party, each with an optional tag. The members live in the game state's
// "party" element ("member" children with "characterid" and "tag"), so they are saved and loaded with it.
// Between a clear or chapter change and the next load there is no element: the member operations then do
// nothing (IsMember is false, RemoveMember false, GetMemberTag empty).
class cl_Party : public IGameStateListener
{
public:
    // Registers with the game state when there is one; it must then outlive the party.
    cl_Party();
    ~cl_Party() override;
    cl_Party(const cl_Party&) = delete;
    cl_Party& operator=(const cl_Party&) = delete;

    // Listeners are not owned, told in the order they were added.
    void AddListener(IPartyListener* listener) { m_listeners.Add(listener); }
    void RemoveListener(const IPartyListener* listener) { m_listeners.Remove(listener); }

    // The "party" element of the game state; null while there is none.
    const TiXmlElement* GetPartyElement() const { return m_partyElement; }
    bool IsMember(const std::string& characterId) const;
    // Appends a member and tells OnMemberAdded; nothing when the character is a member already.
    void AddMember(const std::string& characterId);
    // Removes the first member of that id and tells OnMemberRemoved; false (nobody told) when none.
    bool RemoveMember(const std::string& characterId);
    // Sets the tag of every member of that id (an empty tag removes it), telling OnPartyChanged once per
    // member changed; nobody is told when the character is no member.
    void SetMemberTag(const std::string& characterId, const std::string& tag);
    // The tag of the first member of that id; empty when none or without tag.
    std::string GetMemberTag(const std::string& characterId) const;

    void NotifyGameStateCleared() override;
    // Lets go of the element and tells OnPartyChanged.
    void NotifyChapterChanged() override;
    void NotifyGameStateLoading() override;
    // Takes the tree's "party" element (made when missing) and tells OnPartyChanged.
    void NotifyGameStateLoaded(cl_GameState* gameState) override;
    // The members are in the tree already.
    void NotifyGameStateSaving(cl_GameState* gameState) override;

private:
    // The first "member" of that id, or null (also without element).
    TiXmlElement* FindMember(const std::string& characterId) const;

    ListenerList<IPartyListener> m_listeners;
    TiXmlElement* m_partyElement = nullptr;
};
