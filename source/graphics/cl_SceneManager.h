#pragma once

#include "ISingleton.h"
#include "common/ICommandReceiver.h"
#include "common/ITarqdataParser.h"
#include "common/cl_ParserRegistration.h"
#include "common/cl_ReceiverRegistration.h"
#include "graphics/cl_Curtain.h"

#include <memory>
#include <string>

class cl_Scene;

// Keeps the loaded scene and switches between scenes behind the curtain; parser of the data-file element
// `scene`.
//
// Scenes are not loaded from files yet: the loaded scene is the runtime put in place with SetLoadedScene.
// While a switch is under way (a scene change or a character switch pending, interaction blocked or the
// curtain closed) nothing is picked under the mouse and the player cannot interact.
class cl_SceneManager : public ISingleton<cl_SceneManager>,
                        public ITarqdataParser,
                        public ICommandReceiver,
                        public ICurtainListener
{
public:
    // Registers as the receiver "scenemanager" with distributor, which must outlive it.
    explicit cl_SceneManager(cl_CommandDistributor& distributor);
    ~cl_SceneManager() override;

    // Creates the curtain; called once in the game set-up. Before it there is no curtain.
    void Init();

    // Scene definitions are not kept yet: both do nothing.
    void ParseElement(const TiXmlElement* element, const std::string& group, bool skip) override;
    void UnloadGroup(const std::string& group) override;

    // No command is known yet: each is logged as unknown and answered false.
    bool ExecuteCmd(cl_Command& cmd) override;

    // level: 0, 1 or 2 (low, mid, high).
    void SetQualityLevel(int level);
    int GetQualityLevel() const { return m_qualityLevel; }

    // Changes to the scene target (a scene asset id) unless it is the current one: with sendEvents,
    // "scene.Leave" (data: the target) goes to the old scene's asset first and "scene.Enter" (data: the old
    // scene's id, "" for none) to the new one afterwards; the game state's current scene becomes the target.
    // In every case the curtain opens (when there is one) and the change is no longer pending. The backdrop
    // is for the scene's loading, which does not exist yet.
    void SwitchScene(const std::string& target, const std::string& backdrop, bool sendEvents);
    // Unloads the current scene and forgets its name.
    void UnloadScene();
    // The current scene's name; empty when none is loaded.
    const std::string& GetCurrentSceneName() const { return m_currentSceneName; }
    // Whether a scene is current; scenes are not loaded from files yet, so a switch naming one is enough.
    bool HasLoadedScene() const { return !m_currentSceneName.empty(); }
    // The runtime of the loaded scene; null when none is loaded.
    cl_Scene* GetLoadedScene() const { return m_loadedScene.get(); }
    // Puts scene (may be null) in place of the loaded one, which is deleted.
    void SetLoadedScene(std::unique_ptr<cl_Scene> scene);

    // Disarms the exit and keeps the target; when the scenes pool knows the target, the change is pending
    // and the curtain (when there is one) closes.
    void RequestSceneChange(const std::string& targetSceneId);
    // When a character switch is pending, completes it behind the curtain. Nothing waits for a character
    // yet, so there is nothing to finish.
    void OnCharacterSwitchPending();
    // Hands control to the character with that id once the curtain has closed: marks the switch pending.
    void SwitchToCharacter(const std::string& characterId);
    const std::string& GetSwitchTarget() const { return m_switchTarget; }

    // The curtain; null before Init.
    cl_Curtain* GetCurtain() { return m_curtain.get(); }
    void NotifyFadedToBlack() override;
    void NotifyFadedIn() override;

    // The scene a pending change goes to; empty when none.
    void SetTargetScene(const std::string& sceneId) { m_targetScene = sceneId; }
    const std::string& GetTargetScene() const { return m_targetScene; }
    // The switch flags. Change pending: set by RequestSceneChange, cleared when the switch is done.
    // Character switch pending: set by a switch to a character in another scene. Interaction blocked: set
    // by the command "BlockInteraction". Curtain closed: from the curtain's report of black until its
    // report of faded in.
    void SetChangePending(bool pending) { m_changePending = pending; }
    void SetCharacterSwitchPending(bool pending) { m_characterSwitchPending = pending; }
    void SetInteractionBlocked(bool blocked) { m_interactionBlocked = blocked; }
    bool IsChangePending() const { return m_changePending; }
    bool IsCharacterSwitchPending() const { return m_characterSwitchPending; }
    bool IsInteractionBlocked() const { return m_interactionBlocked; }
    bool IsCurtainClosed() const { return m_curtainClosed; }
    // Whether any of the four switch flags is set.
    bool IsBusy() const;
    // A "leave" interaction without sequence has armed an exit; RequestSceneChange disarms it.
    void SetExitArmed(bool armed) { m_exitArmed = armed; }
    bool IsExitArmed() const { return m_exitArmed; }

private:
    std::unique_ptr<cl_Curtain> m_curtain;
    std::unique_ptr<cl_Scene> m_loadedScene;
    std::string m_targetScene;
    std::string m_switchTarget;
    std::string m_currentSceneName;
    int m_qualityLevel = 0;
    bool m_changePending = false;
    bool m_characterSwitchPending = false;
    bool m_interactionBlocked = false;
    bool m_curtainClosed = false;
    bool m_exitArmed = false;
    cl_ParserRegistration m_sceneParser;
    cl_ReceiverRegistration m_receiver;
};
