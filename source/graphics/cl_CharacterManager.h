#pragma once

#include "ISingleton.h"
#include "common/ICommandReceiver.h"
#include "common/ITarqdataParser.h"
#include "common/cl_ParserRegistration.h"
#include "common/cl_ReceiverRegistration.h"

#include <map>
#include <memory>
#include <string>

class cl_Character;

// Owns the characters of the loaded chapter by id; parser of the data-file element `character`.
class cl_CharacterManager : public ISingleton<cl_CharacterManager>,
                            public ITarqdataParser,
                            public ICommandReceiver
{
public:
    // Registers as the receiver "charactermanager" with distributor, which must outlive it.
    explicit cl_CharacterManager(cl_CommandDistributor& distributor);
    ~cl_CharacterManager() override;

    // Called once in the game set-up, after the scene manager's; nothing to set up yet.
    void Init();

    // Character definitions are not kept yet: both do nothing.
    void ParseElement(const TiXmlElement* element, const std::string& group, bool skip) override;
    void UnloadGroup(const std::string& group) override;

    // No command is known yet: each is logged as unknown and answered false.
    bool ExecuteCmd(cl_Command& cmd) override;

    // Loads every character listed for the chapter being loaded, once its resource groups are loaded;
    // character definitions are not read yet, so it loads none.
    void LoadChapterCharacters();
    // Deletes every character.
    void UnloadCharacters();

    // Takes character (not null) over under its id; an id already taken keeps its character (logged) and
    // the new one is deleted. Returns the character kept under the id.
    cl_Character* AddCharacter(std::unique_ptr<cl_Character> character);
    // The character with that id; null for none.
    cl_Character* GetCharacter(const std::string& id) const;
    // Every character by id, in byte order.
    const std::map<std::string, std::unique_ptr<cl_Character>>& GetCharacters() const { return m_characters; }
    // The character who speaks the lines of speaker. No speaker is mapped to another character yet: the
    // character with that id; null for none.
    cl_Character* GetCharacterForSpeaker(const std::string& speaker) const;

private:
    std::map<std::string, std::unique_ptr<cl_Character>> m_characters;
    cl_ParserRegistration m_characterParser;
    cl_ReceiverRegistration m_receiver;
};
