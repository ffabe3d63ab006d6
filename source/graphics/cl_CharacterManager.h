#pragma once

#include "ISingleton.h"
#include "assets/IGameStateListener.h"
#include "common/ICommandReceiver.h"
#include "common/ITarqdataParser.h"
#include "common/cl_ParserRegistration.h"
#include "common/cl_ReceiverRegistration.h"
#include "graphics/EnvironmentType.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

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
// needed and place it into the scene. It keeps the speaker map (a speaker whose lines another character
// speaks) and writes both into the game state's "charactermanager" element.
class cl_CharacterManager : public ISingleton<cl_CharacterManager>,
                            public ITarqdataParser,
                            public ICommandReceiver,
                            public IGameStateListener
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

    // The commands of COMMANDS below; an unknown name or a missing argument is logged and answers false.
    bool ExecuteCmd(cl_Command& cmd) override;

    // The game state's "charactermanager" element: each character's state in a child named by its id, and
    // the "speakermap" with an "entry speaker= char=" per mapped speaker.
    void NotifyGameStateCleared() override { m_stateNode = nullptr; }
    void NotifyChapterChanged() override {}
    void NotifyGameStateLoading() override {}
    // Every character reads its child (or nothing) and takes its asset's visual state while active; the
    // speaker map is read afresh.
    void NotifyGameStateLoaded(cl_GameState* gameState) override;
    // Without a loaded state: logged, nothing written. The speaker map is written afresh.
    void NotifyGameStateSaving(cl_GameState* gameState) override;

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
    // Puts every character in the scene whose child in the game state places it there back at that place
    // (cl_Character::RestoreTransform) and named position ("customOP"): entering a loaded game's scene
    // first puts them at the scene's positions.
    void RestoreSavedPlacements();
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
    // The character who speaks the lines of speaker: the one it is mapped to, else the one with its id;
    // null for none.
    cl_Character* GetCharacterForSpeaker(const std::string& speaker) const;
    // speaker's lines are spoken by character (the same id: by itself again).
    void MapSpeaker(const std::string& speaker, const std::string& character);
    // Fills characters (emptied first) with the active ones; their number.
    size_t CollectActiveCharacters(std::vector<cl_Character*>& characters) const;

    struct CommandEntry
    {
        const char* name;
        // The arguments it reads, named as CommandArguments reads a table.
        const char* arguments;
        // Answers what ExecuteCmd answers.
        bool (cl_CharacterManager::*run)(const CommandArguments& args);
    };
    static const CommandEntry COMMANDS[];

private:
    bool CmdAddCharacter(const CommandArguments& args);
    bool CmdRemoveCharacter(const CommandArguments& args);
    bool CmdToggleNavMesh(const CommandArguments& args);
    bool CmdHideSubMesh(const CommandArguments& args);
    bool CmdShowSubMesh(const CommandArguments& args);
    bool CmdHideSlave(const CommandArguments& args);
    bool CmdShowSlave(const CommandArguments& args);
    bool CmdChangeCertainSlaveMaterial(const CommandArguments& args);
    bool CmdSetSubMeshAssetRef(const CommandArguments& args);
    bool CmdShowBlobShadow(const CommandArguments& args);
    bool CmdHideBlobShadow(const CommandArguments& args);
    bool CmdSetFocusTarget(const CommandArguments& args);
    bool CmdSetSpeachPosition(const CommandArguments& args);
    bool CmdSetCustomOP(const CommandArguments& args);
    bool CmdSetExamineDistance(const CommandArguments& args);
    bool CmdScale(const CommandArguments& args);
    bool CmdMapSpeaker(const CommandArguments& args);
    bool CmdStopCharacterAnimation(const CommandArguments& args);
    // The submesh or slave (slave) of the character named by the first argument shown or hidden; command
    // names the command in messages.
    bool SetPartVisible(const CommandArguments& args, const char* command, bool slave, bool visible);
    bool SetBlobShadowVisible(const CommandArguments& args, const char* command, bool visible);
    // The character of the first argument; logs failure (a format with the id) and gives null.
    cl_Character* CharacterOrLog(const CommandArguments& args, const char* failure) const;
    // Reads the character's state from the state node's child of its id (or from nothing).
    void RestoreCharacter(cl_Character& character) const;

    Ogre::SceneManager* m_sceneManager = nullptr;
    std::map<std::string, std::unique_ptr<TiXmlElement>> m_elements;
    std::map<std::string, std::string> m_groups;
    std::map<std::string, std::unique_ptr<cl_Character>> m_characters;
    EnvironmentType m_environmentType = ENVIRONMENT_OPEN;
    float m_running = 1.0f;
    cl_Navmesh* m_navmesh = nullptr;
    std::map<std::string, std::string> m_speakers;
    // Borrower id -> the id of the character whose puppet it uses.
    std::map<std::string, std::string> m_lenders;
    // The game state's "charactermanager" element; null while no state is loaded.
    TiXmlElement* m_stateNode = nullptr;
    // Ids whose "external" puppet is being loaded, so that a cycle of them is refused.
    std::vector<std::string> m_loading;
    cl_ParserRegistration m_characterParser;
    cl_ReceiverRegistration m_receiver;
};

// The receiver "charactermanager". Unless said otherwise a command answers true, and false when it logs.
// Arguments in brackets that a command needs are checked by it, with its own message.
inline const cl_CharacterManager::CommandEntry cl_CharacterManager::COMMANDS[] = {
    // Puts the character into the loaded scene at the location (AddCharacter); only with exactly these two.
    {"AddCharacter", "[string id, string location]", &cl_CharacterManager::CmdAddCharacter},
    // Takes the character out of the scene (RemoveFromScene).
    {"RemoveCharacter", "string id", &cl_CharacterManager::CmdRemoveCharacter},
    // Shows the navigation mesh of the character (or of the current character, else the one every
    // character is given) with its path searches, or takes it away (a developer's aid). Without such a
    // mesh: a line logged. False for an unknown id.
    {"ToggleNavMesh", "[string id]", &cl_CharacterManager::CmdToggleNavMesh},
    {"HideSubMesh", "[string id, string submesh]", &cl_CharacterManager::CmdHideSubMesh},
    {"ShowSubMesh", "[string id, string submesh]", &cl_CharacterManager::CmdShowSubMesh},
    {"HideSlave", "[string id, string slave]", &cl_CharacterManager::CmdHideSlave},
    {"ShowSlave", "[string id, string slave]", &cl_CharacterManager::CmdShowSlave},
    // The slave's sub-entity takes the material; answers false.
    {"ChangeCertainSlaveMaterial", "string id, string slave, int subentity, string material",
     &cl_CharacterManager::CmdChangeCertainSlaveMaterial},
    {"SetSubMeshAssetRef", "[string id, string submesh, string assetref]",
     &cl_CharacterManager::CmdSetSubMeshAssetRef},
    // Answer false.
    {"ShowBlobShadow", "[string id]", &cl_CharacterManager::CmdShowBlobShadow},
    {"HideBlobShadow", "[string id]", &cl_CharacterManager::CmdHideBlobShadow},
    // The focus point: the bone, of the slave with exactly three arguments (else of the body).
    {"SetFocusTarget", "string id, string bone, [string slave]", &cl_CharacterManager::CmdSetFocusTarget},
    // The scene node the speech bubble hangs from.
    {"SetSpeachPosition", "string id, string position", &cl_CharacterManager::CmdSetSpeachPosition},
    // The scene position used for the character instead of its default.
    {"SetCustomOP", "string id, string position", &cl_CharacterManager::CmdSetCustomOP},
    {"SetExamineDistance", "string id, float distance", &cl_CharacterManager::CmdSetExamineDistance},
    // Scales the character to factor over time seconds.
    {"Scale", "[string id, float factor, float time]", &cl_CharacterManager::CmdScale},
    // speaker's lines are spoken by character; the same id twice undoes that.
    {"MapSpeaker", "string speaker, string character", &cl_CharacterManager::CmdMapSpeaker},
    // Ends the character's animation action; false for an unknown id.
    {"StopCharacterAnimation", "string id", &cl_CharacterManager::CmdStopCharacterAnimation},
};
