#pragma once

#include "BaseApplication.h"
#include "assets/ISyncedActionInitiator.h"
#include "common/ICommandReceiver.h"
#include "common/IPreferenceListener.h"
#include "gamecomponents/cl_GameComponents.h"
#include "gui/ICursorOwner.h"
#include "platform/HardwareCursor.h"

#include <map>
#include <memory>
#include <string>

class cl_Camera;
class cl_CharacterManager;
class cl_Config;
class cl_ControllerManager;
class cl_EffectManager;
class cl_GameState;
class cl_GameTime;
class cl_GUISystem;
class cl_logIngame;
class cl_ItemManager;
class cl_Localizer;
class cl_LuaCommandReceiver;
class cl_LuaScriptSystem;
class cl_MinigameManager;
class cl_PoolManager;
class cl_SaveGameManager;
class cl_SceneManager;
class cl_Sound;
class cl_StateChartSystem;
class cl_SyncManager;
class cl_TarqLog;
class cl_TarqdataLoader;
class cl_TriggerManager;
class cl_ValueSourceManager;
namespace particles
{
class ParticleSystemManager;
}

// The one application object: owns every subsystem for the whole run, brings OGRE, the resources and the
// first scene up, runs the frame-capped main loop, switches the application modes, routes the player's keys
// and clicks and is the command receiver "tarq".
class TarqApp : public BaseApplication,
                public ICommandReceiver,
                public IPreferenceListener,
                public ISyncedActionInitiator,
                public ICursorOwner
{
public:
    enum Mode
    {
        MODE_NONE = 0,
        MODE_MAINMENU = 1,
        MODE_LOADING = 2,
        MODE_INGAME = 3,
        MODE_IDLE = 4,
        MODE_STARTSPLASH = 5,
        MODE_ENDSPLASH = 6,
        MODE_EASY = 7,
    };

    // Sets up the user paths and creates every subsystem, loads "config.xml" and runs the Lua files.
    // OGRE is not started yet.
    TarqApp();
    // The same, with the game components' sequence player, dialog system and video player given; those
    // left null are made in their ordinary form.
    explicit TarqApp(cl_GameComponents::Components components);
    ~TarqApp() override;

    // Runs the program until the window closes or the program quits.
    void go();

    bool frameStarted(const Ogre::FrameEvent& event) override;
    bool frameEnded(const Ogre::FrameEvent& event) override;
    // The per-frame driver: the object under the mouse (while the loaded scene has a backdrop), game time,
    // then the mode transitions. SIGINT or SIGTERM counts as "quit". False ends the program.
    bool UpdateFrame(const Ogre::FrameEvent& event);
    // Finds what the mouse points at (x, y from 0 to 1 across the window) and hands it to the game
    // components: a party portrait, an inventory item or the loaded scene's pick. While a dialog, a minigame
    // or a scene switch holds the player, or the viewport shows another camera than "LocationCam", nothing
    // is picked and what was under the mouse is let go.
    void UpdateMouseOver(float x, float y);
    // The walk a ground click started has ended (result not read): the current character's logic gets
    // "character.Moved".
    void OnDone(int result) override;
    // The application waits only for the walk's end.
    void OnStarted() override;
    // The walk has ended all the same: as OnDone.
    void TimeOut(float seconds) override;
    // A window the player cannot see renders nothing.
    void windowFocusChange(Ogre::RenderWindow* window) override;

    // Leaves the current mode and enters the given one; the current mode again does nothing.
    void SetMode(int mode);
    int GetMode() const { return m_mode; }
    void RequestQuit() { m_quitRequested = true; }
    bool IsQuitRequested() const { return m_quitRequested; }
    // Quits as RequestQuit does, for data the game cannot go on without (logged by the caller): the
    // program then ends with a failure code, so that no failure looks like success.
    void RequestQuitForFailure()
    {
        MarkFailed();
        RequestQuit();
    }

    // Makes the named hardware cursor pair current, loading "<name>.cur" and "<name>_small.cur" from the
    // interface textures on first use. A file that cannot be read gives a cursor that shows nothing.
    void LoadCursor(const std::string& name) override;
    void SetSmallCursor(bool small) override { m_smallCursor = small; }
    void PutCursorAside() override;
    void RestoreCursor() override;

    // Shows the scene through this camera in the main viewport, and remembers the camera it replaces as
    // the previous camera (the one a chapter load, a video or a minigame gives back afterwards).
    void SetCamera(Ogre::Camera* camera);
    Ogre::Camera* GetCamera() const { return m_currentCamera; }
    // Null when there is none to give back.
    Ogre::Camera* GetPreviousCamera() const { return m_previousCamera; }
    // Shows the previous camera again through SetCamera, then forgets it; nothing without one.
    void RestorePreviousCamera();

    // The receiver "tarq": its commands, the arguments each reads and what it answers are the table in
    // ExecuteCmd. A command missing a required argument is refused with a warning (CommandArguments).
    // Answers true for "quit" only.
    bool ExecuteCmd(cl_Command& cmd) override;
    void OnPreferenceChanged(const std::string& key, const std::string& value, bool live) override;

    // The save games; the application keeps them until the game-components hub does.
    cl_SaveGameManager& GetSaveGameManager() { return *m_saveGames; }

    const std::string& GetUserFolder() const { return m_userFolder; }
    const std::string& GetWorkingFolder() const { return m_workingFolder; }
    float GetIdleTime() const { return m_idleTime; }

    // The frame cap for a "fpscap" setting: 0 for no cap (no number, 0 or less), else 10 to 1000.
    static int FrameCap(const std::string& setting);
    // Whole milliseconds to sleep so that a frame takes 1000 / cap milliseconds; 0 when over budget.
    static int FrameSleep(int cap, uint32_t elapsedMilliseconds);

protected:
    // Refuses to start, with a fatal error, outside a working folder that holds "plugins.cfg"; then the
    // set-up steps of the base class.
    bool setup() override;
    void createRoot() override;
    void setupResources() override;
    void createCamera() override;
    void createViewports() override;
    void initGame() override;
    void loadResources() override;
    void createScene() override;

    // The devices call these inside their capture at the frame's start. Keys go to the Escape switch, then
    // to the running minigame, then to the GUI; a button release, after the main menu's check, to the
    // minigame or the game's click handling, then to the GUI. Releases and moves reset the idle time; a
    // move over a scene with a backdrop keeps the position for the frame's hover pass.
    bool keyPressed(const OIS::KeyEvent& event) override;
    bool keyReleased(const OIS::KeyEvent& event) override;
    bool mouseMoved(const OIS::MouseEvent& event) override;
    bool mousePressed(const OIS::MouseEvent& event, OIS::MouseButtonID button) override;
    bool mouseReleased(const OIS::MouseEvent& event, OIS::MouseButtonID button) override;

private:
    struct CursorPair
    {
        platform::CursorHandle normal = nullptr;
        platform::CursorHandle small = nullptr;
    };

    // The Escape key's mode switch: a playing video is stopped instead; in the main menu back to the game
    // (when a scene is loaded); in the game out of a dialog, else to the main menu when the player may
    // interact and no minigame runs.
    void HandleEscape();
    // A left-button release that neither the main menu nor a minigame took: the game components, then the
    // held item, the scene's exit and last a walk on the ground. x, y from 0 to 1.
    void HandleLeftClick(float x, float y);
    // Puts the real pointer position into OIS's mouse state (whose own is a few pixels off on X11), so
    // that hover, picking and the GUI all see the pointer where the player does. Clipped to the window, as
    // the border counts as on it. The X server knows only where the pointer is now, which is where a
    // frame's moves end: a button event read in the same frame as later moves keeps OIS's position,
    // counted on from the last alignment, unless nothing was aligned yet.
    void AlignMouseState(const OIS::MouseState& state, bool atFrameEnd);
    // Hides the system cursor inside the window and shows it at the window's border; only while the
    // in-game menu draws the pointer itself.
    void UpdateSystemCursor(const OIS::MouseState& state) const;
    // The current character's logic gets the event, when the game state names a current character whose
    // asset has a logic.
    void SendToCurrentCharacter(const std::string& event) const;
    void LeaveMode(int mode);
    void EnterMode(int mode);
    void ShowCurrentCursor();
    void LoadSoundDefinitions();
    // Tells the user (a warning line and a log line) when the folder that the setting names is missing
    // or empty; contents says what the folder should hold. The game starts all the same.
    void WarnAboutDataFolder(const std::string& setting, const std::string& folder,
                             const std::string& contents) const;
    void SetRenderSystemOption(const std::string& option, const std::string& value);

    std::string m_userFolder;
    std::string m_workingFolder;
    std::map<std::string, CursorPair> m_cursors;
    const CursorPair* m_currentCursor = nullptr;
    const CursorPair* m_asideCursor = nullptr;
    bool m_smallCursor = false;
    bool m_quitRequested = false;
    int m_mode = MODE_NONE;
    Ogre::Camera* m_currentCamera = nullptr;
    Ogre::Camera* m_previousCamera = nullptr;
    Ogre::SceneManager* m_menuSceneManager = nullptr;
    float m_idleTime = 0.0f;
    // Where the mouse was last seen over a scene with a backdrop, from 0 to 1 across the window.
    float m_mouseX = 0.0f;
    float m_mouseY = 0.0f;
    bool m_mouseAligned = false;

    // Created in this order by the constructor; destroyed in the order the destructor names.
    std::unique_ptr<cl_TarqdataLoader> m_loader;
    std::unique_ptr<cl_TarqLog> m_log;
    std::unique_ptr<cl_Config> m_config;
    std::unique_ptr<cl_LuaScriptSystem> m_scriptSystem;
    std::unique_ptr<cl_GameTime> m_gameTime;
    std::unique_ptr<cl_ValueSourceManager> m_valueSources;
    std::unique_ptr<cl_ControllerManager> m_controllers;
    std::unique_ptr<cl_GameState> m_gameState;
    std::unique_ptr<cl_logIngame> m_logIngame;
    std::unique_ptr<cl_TriggerManager> m_triggerManager;
    std::unique_ptr<cl_GameComponents> m_gameComponents;
    std::unique_ptr<cl_SaveGameManager> m_saveGames;
    std::unique_ptr<cl_PoolManager> m_poolManager;
    std::unique_ptr<cl_GUISystem> m_guiSystem;
    std::unique_ptr<cl_SceneManager> m_scenes;
    std::unique_ptr<cl_CharacterManager> m_characterManager;
    std::unique_ptr<cl_ItemManager> m_itemManager;
    std::unique_ptr<cl_Camera> m_cameraSystem;
    std::unique_ptr<cl_StateChartSystem> m_stateChartSystem;
    std::unique_ptr<cl_Sound> m_sound;
    std::unique_ptr<cl_SyncManager> m_syncManager;
    std::unique_ptr<cl_MinigameManager> m_minigameManager;
    std::unique_ptr<cl_Localizer> m_localizer;
    std::unique_ptr<cl_EffectManager> m_effectManager;
    std::unique_ptr<cl_LuaCommandReceiver> m_rootReceiver;
    // Made once OGRE's root exists (initGame), so that templates are read as the resource groups
    // initialise; it goes after the effects, which destroy their systems through it.
    std::unique_ptr<particles::ParticleSystemManager> m_particles;
};
