#pragma once

#include "ISingleton.h"
#include "assets/IGameStateListener.h"
#include "assets/ISyncedActionInitiator.h"
#include "common/ICommandReceiver.h"
#include "common/ITarqdataParser.h"
#include "common/cl_ParserRegistration.h"
#include "common/cl_ReceiverRegistration.h"
#include "graphics/cl_Curtain.h"
#include "graphics/cl_SceneLoader.h"

#include <OgreRenderObjectListener.h>

#include <map>
#include <memory>
#include <string>

namespace Ogre
{
class Camera;
class SceneManager;
} // namespace Ogre

class cl_Scene;

// Owns a scene per `scene` element of the data files, keeps the current one and changes scenes behind the
// curtain: the old scene's asset hears "scene.Leave", the loader takes it down and builds the new one, whose
// asset hears "scene.Enter", and the curtain opens again.
//
// While a switch is under way (a scene change or a character switch pending, interaction blocked or the
// switch not yet faded in) nothing is picked under the mouse and the player cannot interact.
class cl_SceneManager : public ISingleton<cl_SceneManager>,
                        public Ogre::RenderObjectListener,
                        public ICommandReceiver,
                        public ICurtainListener,
                        public IGameStateListener,
                        public ITarqdataParser,
                        public ISyncedActionInitiator
{
public:
    // Registers as the receiver "scenemanager" with distributor, which must outlive it, as parser of the
    // element `scene` and as game-state listener.
    explicit cl_SceneManager(cl_CommandDistributor& distributor);
    // Unloads the current scene and deletes every scene.
    ~cl_SceneManager() override;

    // Keeps the OGRE scene manager and camera (not owned; may be null in tests) the scenes are built in,
    // creates the curtain and hears every object the scene manager renders; called once in the game set-up.
    // Before it there is no curtain.
    void CreateCurtain(Ogre::SceneManager* sceneManager, Ogre::Camera* camera);
    // For a pass run once per spot light: the texture units named "cookie_tex" show that light's cookie
    // (the texture name the light holds, else "no_cookie.png").
    void notifyRenderSingleObject(Ogre::Renderable* renderable, const Ogre::Pass* pass,
                                  const Ogre::AutoParamDataSource* source, const Ogre::LightList* lights,
                                  bool suppressRenderStateChanges) override;

    // Keeps a copy of a `scene` element under its `assetref` (an element without one is ignored). The
    // element of the current scene reloads it at once, in place, at the quality level in use.
    void ParseElement(const TiXmlElement* element, const std::string& group, bool skip) override;
    // The scenes stay; they read their preload lists again on their next load.
    void UnloadGroup(const std::string& group) override;

    // The commands of the receiver "scenemanager" (SceneManagerCommands); false for an unknown name or a
    // command refused for its arguments.
    bool ExecuteCmd(cl_Command& cmd) override;
    // The command "GoToScene": the current character's asset records the scene; with the leave walk armed
    // and a current character, the change waits for its walk to the entry location (OnDone), otherwise it
    // is requested at once.
    void GoToScene(const std::string& sceneId);
    // The command "FadeToBlack": forgets the target, so that the black curtain switches nothing; a pending
    // change ends with it (the wait pointer goes).
    void FadeToBlack(float duration);
    // The end of the leave walk requests the pending change; the end of the current character's turn
    // finishes a switch to a character in the scene.
    void OnDone(int result) override;
    void OnStarted() override {}
    void TimeOut(float /*seconds*/) override {}

    // level: 0, 1 or 2 (low, mid, high). A new level reloads the current scene in place.
    void SetQualityLevel(int level);
    int GetQualityLevel() const { return m_qualityLevel; }

    // Loads the target scene (a scene asset id) on the named backdrop in place of the current one, unless it
    // is the current one. With sendEvents, "scene.Leave" (data: the target) goes to the old scene's asset
    // before it unloads and "scene.Enter" (data: the old scene's id, "" for none) to the new one after it has
    // loaded. placeCharacter: the current character enters at the spawn point for the old scene. A target
    // that is no known scene shows "Diese Szene gibt es noch nicht!" in the label. In every case the curtain
    // opens (when there is one) and the change is no longer pending.
    void SwitchScene(const std::string& target, const std::string& backdrop, bool sendEvents,
                     bool placeCharacter);
    // Unloads the current scene (when there is one) and leaves none current; a second call does nothing.
    void UnloadScene();
    // The current scene's name; empty when none is current.
    const std::string& GetCurrentSceneName() const { return m_currentSceneName; }
    // The OGRE scene manager given to CreateCurtain; null before.
    Ogre::SceneManager* GetOgreSceneManager() const { return m_ogreSceneManager; }
    // Whether a scene is current.
    bool HasLoadedScene() const;
    // The current scene; null when none is current.
    cl_Scene* GetLoadedScene() const { return m_currentScene; }
    // The scene kept under that asset id; null for none.
    cl_Scene* FindScene(const std::string& sceneId) const;
    // For tests that load scenes with a loader of their own: makes scene (not loaded by this manager) the
    // current one, filed under its id in place of a scene of that id. Null deletes the current scene and
    // leaves none current.
    void SetLoadedScene(std::unique_ptr<cl_Scene> scene);

    // Disarms the leave walk and keeps the target. A target that is no scene, or a loaded overlay scene,
    // changes nothing more. Otherwise the change is pending (wait pointer), and the curtain closes: at once
    // when it is not clear (the switch then runs inside this call), else over a second.
    void RequestSceneChange(const std::string& targetSceneId);
    // Called before an interaction while a character switch waits: the wait pointer goes up, both
    // characters' running actions end (3) and the curtain closes; once black the switch is finished and
    // the curtain opens. Nothing when no switch waits.
    void OnCharacterSwitchPending();
    // Hands control to the character with that id (nothing when it already has it). Without a current
    // character, or while a scene change is pending, at once. A character in the current scene (its
    // asset's "currentscene" empty, "none" or this scene) takes over once the current one has turned to
    // its target position; one in another scene becomes current and that scene is requested (a scene
    // that cannot be requested leaves nothing pending).
    void SwitchToCharacter(const std::string& characterId);
    const std::string& GetSwitchTarget() const { return m_switchCharacterName; }

    // The curtain; null before CreateCurtain.
    cl_Curtain* GetCurtain() { return m_curtain.get(); }
    void NotifyFadedToBlack() override;
    void NotifyFadedIn() override;

    // A game starts or a save game is loaded: the current scene goes (a load also makes the curtain black
    // at once, telling nobody); a loaded game's is built anew, its characters where the loaded state has
    // them.
    void NotifyGameStateCleared() override {}
    void NotifyChapterChanged() override;
    void NotifyGameStateLoading() override;
    // The camera's shot of the saved game ("scenemanager" > "camera": `shot`, or `ShotActivator` for a
    // shot generator; older saves say `ShotGenerator`) is shown at the next scene start.
    void NotifyGameStateLoaded(cl_GameState* gameState) override;
    void NotifyGameStateSaving(cl_GameState* gameState) override;

    // The scene a pending change goes to; empty when none.
    void SetTargetScene(const std::string& sceneId) { m_targetScene = sceneId; }
    const std::string& GetTargetScene() const { return m_targetScene; }
    // The switch flags. Change pending: set by RequestSceneChange, cleared when the switch is done.
    // Character switch pending: set by a switch to a character in another scene. Interaction blocked: set
    // by the command "BlockInteraction". Switching: from the curtain's report of black during a pending
    // change until its report of faded in.
    void SetChangePending(bool pending) { m_changePending = pending; }
    void SetCharacterSwitchPending(bool pending) { m_characterSwitchPending = pending; }
    void SetInteractionBlocked(bool blocked) { m_interactionBlocked = blocked; }
    bool IsChangePending() const { return m_changePending; }
    bool IsCharacterSwitchPending() const { return m_characterSwitchPending; }
    bool IsInteractionBlocked() const { return m_interactionBlocked; }
    bool IsSwitching() const { return m_switching; }
    // Whether any of the four switch flags is set.
    bool IsBusy() const;
    bool IsIdle() const { return !IsBusy(); }
    // A "leave" interaction without sequence has armed the leave walk; RequestSceneChange disarms it.
    void SetExitArmed(bool armed) { m_exitArmed = armed; }
    bool IsExitArmed() const { return m_exitArmed; }
    // Set by the command "SwitchToScene": the next change made behind the curtain places no character.
    // It stays set until such a change uses it.
    void SetSwitchToSceneNoSpawn(bool noSpawn) { m_switchToSceneNoSpawn = noSpawn; }
    bool IsSwitchToSceneNoSpawn() const { return m_switchToSceneNoSpawn; }
    // Where the current character enters the next scene; "undefined" after every load.
    void SetLocation(const std::string& location) { m_location = location; }
    const std::string& GetLocation() const { return m_location; }

private:
    // Sends the event to the scene's asset at once; data is the other scene's id.
    static void SendToScene(const cl_Scene& scene, const char* event, const std::string& data);
    // Raises or lowers the in-game menu's wait pointer.
    static void ShowWaitPointer(bool wait);
    // Builds the target (kept under that name) and makes it the current scene.
    void EnterScene(cl_Scene& scene, const std::string& target, const std::string& backdrop, bool sendEvents,
                    bool placeCharacter);
    // Ends a character switch in the current scene: the character switched to becomes current and gets
    // the navigation mesh. Behind the curtain both characters are set to their places; in view they turn
    // there.
    void FinishCharacterSwitch(bool behindCurtain);

    std::unique_ptr<cl_Curtain> m_curtain;
    std::string m_targetScene;
    std::map<std::string, std::unique_ptr<cl_Scene>> m_scenes;
    std::string m_currentSceneName;
    cl_Scene* m_currentScene = nullptr;
    Ogre::SceneManager* m_ogreSceneManager = nullptr;
    // Its name, to find out at the end whether OGRE still has it.
    std::string m_ogreSceneManagerName;
    Ogre::Camera* m_camera = nullptr;
    cl_SceneLoader m_loader;
    // Texture shadows on and the shadow receivers shown, after every load.
    int m_shadowMode = 1;
    std::string m_switchCharacterName;
    int m_qualityLevel = 0;
    bool m_changePending = false;
    bool m_characterSwitchPending = false;
    bool m_interactionBlocked = false;
    bool m_switching = false;
    bool m_exitArmed = false;
    bool m_switchToSceneNoSpawn = false;
    // Set by a game state being loaded; the next switch uses it up: the scene it enters puts its characters
    // back where that state has them.
    bool m_restoreCharacters = false;
    std::string m_location = "undefined";
    cl_ParserRegistration m_sceneParser;
    cl_ReceiverRegistration m_receiver;
};
