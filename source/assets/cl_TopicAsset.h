#pragma once

#include "assets/cl_Asset.h"

#include <string>

class TiXmlElement;
class cl_CharacterAsset;

// An entry of a character's dialog. What the pool file says is fixed for the chapter (parent, player
// character, exit flag); whether it is active, its title and its sequence live in its `topic` element of
// the game state (found by "idref"), which BindState looks up. Until it is bound the state readers give the
// empty string and the writers do nothing.
class cl_TopicAsset : public cl_Asset
{
public:
    std::string GetType() const override;
    // Looks up the topic's state element (created, with an error log, when the tree lacks it), then binds
    // the logic. A null game state unbinds.
    void BindState(cl_GameState* gameState) override;

    // The state's "titleref" and "sequenceref".
    std::string GetTitleRef() const;
    void SetTitleRef(const std::string& textId);
    std::string GetSequenceRef() const;
    void SetSequenceRef(const std::string& sequenceId);
    // Whether the state's "active", in any case, is "true".
    bool IsActive() const;
    // Writes "active", then sends the owning character's logic "character.TopicActivated" or
    // "character.TopicDeactivated" with the topic id as event data. Nothing, and no event, when unbound.
    void SetActive(bool active);
    // Sends "choosen", without data, to the topic's own logic; called when the player picks the topic.
    void NotifyChoosen();

    // The character whose topic list names this topic (the last such character read); null when none.
    // Set by the characters pool; a character that goes clears it.
    cl_CharacterAsset* GetOwningCharacter() const { return m_owningCharacter; }
    void SetOwningCharacter(cl_CharacterAsset* character) { m_owningCharacter = character; }

    // From the pool file: an exit topic ends its dialog level and is listed after the others.
    bool IsExitTopic() const { return m_exitTopic; }
    void SetExitTopic(bool exitTopic) { m_exitTopic = exitTopic; }
    // The parent topic's id; "none" for a top-level topic.
    const std::string& GetParentRef() const { return m_parentRef; }
    void SetParentRef(const std::string& topicId) { m_parentRef = topicId; }
    // Whether the topic is meant for that player character: its player character ref is empty, "none"
    // or that id.
    bool IsForPlayer(const std::string& playerCharacterId) const;
    void SetPlayerCharRef(const std::string& characterId) { m_playerCharRef = characterId; }
    // The title and sequence the pool file names; play uses those of the state.
    const std::string& GetFileTitleRef() const { return m_titleRef; }
    void SetFileTitleRef(const std::string& textId) { m_titleRef = textId; }
    const std::string& GetFileSequenceRef() const { return m_sequenceRef; }
    void SetFileSequenceRef(const std::string& sequenceId) { m_sequenceRef = sequenceId; }

private:
    std::string ReadState(const char* attribute) const;
    void WriteState(const char* attribute, const std::string& value);

    bool m_exitTopic = false;
    TiXmlElement* m_state = nullptr;
    cl_CharacterAsset* m_owningCharacter = nullptr;
    std::string m_titleRef;
    std::string m_parentRef;
    std::string m_sequenceRef;
    std::string m_playerCharRef;
};
