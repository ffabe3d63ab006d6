#pragma once

#include "ISingleton.h"
#include "common/ICommandReceiver.h"
#include "common/ITarqdataParser.h"
#include "common/cl_ParserRegistration.h"
#include "common/cl_ReceiverRegistration.h"
#include "graphics/cl_Curtain.h"

#include <memory>
#include <string>

// Keeps the loaded scene and switches between scenes behind the curtain; parser of the data-file element
// `scene`.
//
// Scenes are not loaded yet: the current scene is only a name, and a switch does what the rest of the
// program sees of one (the scene's "scene.Leave" and "scene.Enter" events, the game state's current
// scene, the curtain and the switch flags).
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
    // Unloads the current scene (none is ever loaded yet) and forgets its name.
    void UnloadScene();
    // The current scene's name; empty when none is loaded.
    const std::string& GetCurrentSceneName() const { return m_currentSceneName; }
    // Whether a scene is loaded; for now, whether a switch has named one.
    bool HasLoadedScene() const { return !m_currentSceneName.empty(); }

    // The curtain; null before Init.
    cl_Curtain* GetCurtain() { return m_curtain.get(); }
    void NotifyFadedToBlack() override;
    void NotifyFadedIn() override;

    // The scene a pending change goes to; empty when none.
    void SetTargetScene(const std::string& sceneId) { m_targetScene = sceneId; }
    const std::string& GetTargetScene() const { return m_targetScene; }
    // The switch flags. Change pending: set for a scene change, cleared when the switch is done. Character
    // switch pending: set by a switch to a character in another scene. Interaction blocked: set by the
    // command "BlockInteraction". Curtain closed: from the curtain's report of black until its report of
    // faded in. While any is set nothing is picked, interaction is refused and the game is not saved.
    void SetChangePending(bool pending) { m_changePending = pending; }
    void SetCharacterSwitchPending(bool pending) { m_characterSwitchPending = pending; }
    void SetInteractionBlocked(bool blocked) { m_interactionBlocked = blocked; }
    bool IsChangePending() const { return m_changePending; }
    bool IsCharacterSwitchPending() const { return m_characterSwitchPending; }
    bool IsInteractionBlocked() const { return m_interactionBlocked; }
    bool IsCurtainClosed() const { return m_curtainClosed; }
    // Whether any of the four switch flags is set.
    bool IsBusy() const;

private:
    std::unique_ptr<cl_Curtain> m_curtain;
    std::string m_targetScene;
    std::string m_currentSceneName;
    int m_qualityLevel = 0;
    bool m_changePending = false;
    bool m_characterSwitchPending = false;
    bool m_interactionBlocked = false;
    bool m_curtainClosed = false;
    cl_ParserRegistration m_sceneParser;
    cl_ReceiverRegistration m_receiver;
};
