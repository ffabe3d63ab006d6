#pragma once

#include "ISingleton.h"
#include "common/ICommandReceiver.h"
#include "common/ITarqdataParser.h"
#include "common/cl_ParserRegistration.h"
#include "common/cl_ReceiverRegistration.h"

// Owns the characters of the loaded chapter by id; parser of the data-file element `character`.
class cl_CharacterManager : public ISingleton<cl_CharacterManager>,
                            public ITarqdataParser,
                            public ICommandReceiver
{
public:
    // Registers as the receiver "charactermanager" with distributor, which must outlive it.
    explicit cl_CharacterManager(cl_CommandDistributor& distributor);

    // Called once in the game set-up, after the scene manager's; nothing to set up yet.
    void Init();

    // Character definitions are not kept yet: both do nothing.
    void ParseElement(const TiXmlElement* element, const std::string& group, bool skip) override;
    void UnloadGroup(const std::string& group) override;

    // No command is known yet: each is logged as unknown and answered false.
    bool ExecuteCmd(cl_Command& cmd) override;

    // Loads every character listed for the chapter being loaded, once its resource groups are loaded,
    // and removes every character from the scene and the manager. No character is kept yet: both do nothing.
    void LoadChapterCharacters();
    void UnloadCharacters();

private:
    cl_ParserRegistration m_characterParser;
    cl_ReceiverRegistration m_receiver;
};
