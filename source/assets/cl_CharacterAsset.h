#pragma once

#include "assets/cl_ItemAsset.h"

#include <OgreColourValue.h>

#include <string>
#include <vector>

class cl_TopicAsset;

// A person of the game: an item (its play data is its `item` element of the game state) with the colour of
// its spoken lines and the topics of its dialog, which also decide what talking to it starts. Topics are
// looked up in the pool manager's topics pool; without a pool manager a character has none.
class cl_CharacterAsset : public cl_ItemAsset
{
public:
    cl_CharacterAsset() = default;
    // Topics it owns that are still in the topics pool forget it.
    ~cl_CharacterAsset() override;

    std::string GetType() const override;
    std::string GetThingType() const override;
    bool IsThing() const override;
    // For "talk": while the character has no active top-level topic for the current player character, its
    // no-topic sequence when it has one (neither empty nor "none"); otherwise, and for every other mode,
    // the item rule.
    std::string GetInteractionSequence(const std::string& mode) const override;

    // White until the pool file sets it.
    const Ogre::ColourValue& GetSpeechColour() const { return m_speechColour; }
    void SetSpeechColour(const Ogre::ColourValue& colour) { m_speechColour = colour; }

    // The topic ids of the dialog, in file order.
    const std::vector<std::string>& GetTopics() const { return m_topics; }
    void ClearTopics() { m_topics.clear(); }
    void AddTopic(const std::string& topicId) { m_topics.push_back(topicId); }

    // Appends to topics the character's topics whose parent is parent (null: the top-level topics, whose
    // parent ref names no topic), that are active and meant for the player character: the normal topics
    // first, then the exit topics, each in list order. Ids the topics pool lacks are passed over.
    void GetActiveTopics(const cl_TopicAsset* parent, const std::string& playerCharacterId,
                         std::vector<cl_TopicAsset*>& topics) const;
    // How many normal (not exit) topics GetActiveTopics lists for that parent.
    int CountActiveSubTopics(const cl_TopicAsset* parent, const std::string& playerCharacterId) const;
    // Whether a topic with the parent ref "none" is active, not an exit topic and meant for the game
    // state's current character.
    bool HasActiveTopics() const;

    // The sequence of the mode "notopic_<current player character>", else of the mode "notopic".
    std::string GetNoTopicSequence() const;
    // Sets the sequence of "notopic_<player character>", or of "notopic" for an empty player character id.
    void SetNoTopicSequence(const std::string& sequenceId, const std::string& playerCharacterId);
    // The sequence played when an interaction with the character is refused.
    std::string GetForbiddenInteractSequence() const;
    void SetForbiddenInteractSequence(const std::string& sequenceId);

private:
    // The character's topics found in the topics pool, in list order.
    std::vector<cl_TopicAsset*> FindTopics() const;

    Ogre::ColourValue m_speechColour = Ogre::ColourValue::White;
    std::vector<std::string> m_topics;
};
