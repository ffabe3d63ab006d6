#pragma once

#include "ISingleton.h"
#include "common/ICommandReceiver.h"
#include "common/ITarqdataParser.h"
#include "common/cl_ParserRegistration.h"
#include "common/cl_ReceiverRegistration.h"
#include "graphics/EnvironmentType.h"

#include <map>
#include <memory>
#include <string>

class CommandArguments;
class TiXmlElement;
class cl_Character;
class cl_Navmesh;

namespace Ogre
{
class SceneManager;
}

// Owns the characters of the loaded chapter by id; parser of the data-file element `character`, whose
// copies it keeps with the resource group of their file, so that it can build each character when it is
// needed and place it into the scene.
class cl_CharacterManager : public ISingleton<cl_CharacterManager>,
                            public ITarqdataParser,
                            public ICommandReceiver
{
public:
    // Registers as the receiver "charactermanager" with distributor, which must outlive it.
    explicit cl_CharacterManager(cl_CommandDistributor& distributor);
    ~cl_CharacterManager() override;

    // Called once in the game set-up, after the scene manager's: the characters built from then on live
    // in sceneManager (the game's; not owned, it must outlive the characters). Before it none is built.
    void Init(Ogre::SceneManager* sceneManager);

    // Keeps a copy of a `character` element with a non-empty "assetref" (its id) and the group it came
    // from; a later element of the same id replaces it. Nothing is built here.
    void ParseElement(const TiXmlElement* element, const std::string& group, bool skip) override;
    // Deletes the characters whose elements came from group and forgets those elements.
    void UnloadGroup(const std::string& group) override;

    // The commands of COMMANDS below; an unknown name is logged. Answers false for every command.
    bool ExecuteCmd(cl_Command& cmd) override;

    // Builds every character whose element is kept.
    void LoadChapterCharacters();
    // Deletes every character; the kept elements stay.
    void UnloadCharacters();

    // The character of that id, built the first time from its kept element: a character of that name
    // whose puppet reads the element's first `puppet`; its submeshes answer scene queries with mask 2.
    // Null without an element (silently), for an element that is no `character` with an "assetref" or
    // before Init (both logged).
    cl_Character* LoadCharacter(const std::string& id);
    // Deletes the character of that id, if built.
    void UnloadCharacter(const std::string& id);
    // Builds the character of that id when needed and, while a scene is loaded, puts it there: it takes
    // the visual state of its asset and, when the asset is in no scene, the loaded scene as its scene; a
    // character not yet in the scene is placed at the scene node named location and activated. An unknown
    // location is logged and the character is activated where it stands.
    void AddCharacter(const std::string& id, const std::string& location);
    // Takes the character of that id out of the scene: no placement, inactive. Nothing for an unknown id.
    void RemoveFromScene(const std::string& id);
    // The same for every character.
    void RemoveAllFromScene();
    // Reads the character files that a scene's `characters` element names; character files are not read
    // yet, so it reads none.
    void LoadSceneIncludes(const TiXmlElement* characters);
    // The navigation mesh the characters walk on (not owned; null: none); the scene hands it over, and
    // every character built so far, and each built later, walks on it.
    void SetNavmesh(cl_Navmesh* navmesh);
    cl_Navmesh* GetNavmesh() const { return m_navmesh; }
    // How the current scene lets its characters walk (see cl_Character::ApplySceneMovementSettings); every
    // character built so far, and each built later, walks so.
    void SetMovementSettings(EnvironmentType type, float running);

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

    struct CommandEntry
    {
        const char* name;
        // The arguments it reads, named as CommandArguments reads a table.
        const char* arguments;
        void (cl_CharacterManager::*run)(const CommandArguments& args);
    };
    static const CommandEntry COMMANDS[];

private:
    void CmdToggleNavMesh(const CommandArguments& args);

    Ogre::SceneManager* m_sceneManager = nullptr;
    std::map<std::string, std::unique_ptr<TiXmlElement>> m_elements;
    std::map<std::string, std::string> m_groups;
    std::map<std::string, std::unique_ptr<cl_Character>> m_characters;
    EnvironmentType m_environmentType = ENVIRONMENT_OPEN;
    float m_running = 1.0f;
    cl_Navmesh* m_navmesh = nullptr;
    cl_ParserRegistration m_characterParser;
    cl_ReceiverRegistration m_receiver;
};

// The receiver "charactermanager".
inline const cl_CharacterManager::CommandEntry cl_CharacterManager::COMMANDS[] = {
    // Shows the navigation mesh the characters walk on, with its path searches, as lines in the game's
    // scene, or takes them away (a developer's aid). Without such a mesh: a warning.
    {"ToggleNavMesh", "", &cl_CharacterManager::CmdToggleNavMesh},
};
