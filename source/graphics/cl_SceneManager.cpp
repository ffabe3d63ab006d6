#include "graphics/cl_SceneManager.h"

#include "assets/cl_GameState.h"
#include "assets/cl_ItemAsset.h"
#include "assets/cl_PoolManager.h"
#include "assets/cl_ScenePool.h"
#include "common/LogCall.h"
#include "common/XmlHelpers.h"
#include "common/cl_Argument.h"
#include "common/cl_Command.h"
#include "gamecomponents/cl_GameComponents.h"
#include "gamecomponents/cl_SequencePlayer.h"
#include "graphics/SceneManagerCommands.h"
#include "graphics/cl_Camera.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_CharacterManager.h"
#include "graphics/cl_Scene.h"
#include "gui/cl_GUISystem.h"
#include "gui/cl_IngameMenu.h"

#include <OgreAny.h>
#include <OgreLight.h>
#include <OgrePass.h>
#include <OgreRenderSystem.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>
#include <OgreTechnique.h>
#include <OgreTextureUnitState.h>
#include <tinyxml.h>

namespace
{
// The game-state element of the scene manager and its child.
const char* const STATE_ELEMENT = "scenemanager";
const char* const CAMERA_ELEMENT = "camera";
// The texture units that show a spot light's cookie, and what they show for a light without one.
const char* const COOKIE_UNIT = "cookie_tex";
const char* const NO_COOKIE = "no_cookie.png";

cl_IngameMenu* IngameMenu()
{
    cl_GUISystem* gui = cl_GUISystem::GetInstance();
    return gui ? &gui->GetIngameMenu() : nullptr;
}
} // namespace

cl_SceneManager::cl_SceneManager(cl_CommandDistributor& distributor)
    : m_sceneParser("scene", this), m_receiver(distributor, "scenemanager", this)
{
    if (cl_GameState* gameState = cl_GameState::GetInstance())
        gameState->AddListener(this);
}

cl_SceneManager::~cl_SceneManager()
{
    if (cl_GameState* gameState = cl_GameState::GetInstance())
        gameState->RemoveListener(this);
    const Ogre::Root* root = Ogre::Root::getSingletonPtr();
    if (m_ogreSceneManager && root && root->hasSceneManager(m_ogreSceneManagerName) &&
        root->getSceneManager(m_ogreSceneManagerName) == m_ogreSceneManager)
        m_ogreSceneManager->removeRenderObjectListener(this);
    UnloadScene();
}

void cl_SceneManager::CreateCurtain(Ogre::SceneManager* sceneManager, Ogre::Camera* camera)
{
    if (m_ogreSceneManager)
        m_ogreSceneManager->removeRenderObjectListener(this);
    m_ogreSceneManager = sceneManager;
    m_camera = camera;
    if (sceneManager)
    {
        m_ogreSceneManagerName = sceneManager->getName();
        sceneManager->addRenderObjectListener(this);
    }
    if (m_curtain)
        return;
    m_curtain = std::make_unique<cl_Curtain>(this);
    m_curtain->Create();
}

void cl_SceneManager::notifyRenderSingleObject(Ogre::Renderable*, const Ogre::Pass* pass,
                                               const Ogre::AutoParamDataSource*,
                                               const Ogre::LightList* lights, bool)
{
    if (!pass || !lights || !pass->getIteratePerLight() || pass->getStartLight() >= lights->size())
        return;
    const Ogre::Light* light = (*lights)[pass->getStartLight()];
    Ogre::RenderSystem* renderSystem = Ogre::Root::getSingleton().getRenderSystem();
    if (!light || light->getType() != Ogre::Light::LT_SPOTLIGHT || !renderSystem)
        return;
    const Ogre::Any& userValue = light->getUserObjectBindings().getUserAny();
    const std::string cookie =
        userValue.type() == typeid(std::string) ? Ogre::any_cast<std::string>(userValue) : NO_COOKIE;
    // The pass of the object's material itself: its units take the cookie, which stays until the next
    // light's.
    Ogre::Pass* writable = pass->getParent()->getPass(pass->getIndex());
    for (unsigned short index = 0; index < writable->getNumTextureUnitStates(); ++index)
    {
        Ogre::TextureUnitState* unit = writable->getTextureUnitState(index);
        if (unit->getName() != COOKIE_UNIT)
            continue;
        if (unit->getTextureName() != cookie)
            unit->setTextureName(cookie);
        renderSystem->_setTextureUnitSettings(index, *unit);
    }
}

void cl_SceneManager::ParseElement(const TiXmlElement* element, const std::string&, bool)
{
    const std::string id = element ? AttributeOrEmpty(*element, "assetref") : std::string();
    if (id.empty())
        return;
    std::unique_ptr<cl_Scene>& scene = m_scenes[id];
    if (!scene)
        scene = std::make_unique<cl_Scene>(*element);
    else if (scene.get() == m_currentScene && scene->GetSceneManager())
    {
        m_loader.ReloadScene(element, m_qualityLevel);
        scene->SetShadowsEnabled(m_shadowMode);
    }
    else
        scene->SetDefinition(*element);
}

void cl_SceneManager::UnloadGroup(const std::string&)
{
    for (auto& scene : m_scenes)
    {
        if (scene.second)
            scene.second->ClearPreloaded();
    }
}

bool cl_SceneManager::ExecuteCmd(cl_Command& cmd)
{
    return RunSceneManagerCommand(*this, cmd);
}

void cl_SceneManager::GoToScene(const std::string& sceneId)
{
    const cl_PoolManager* pools = cl_PoolManager::GetInstance();
    const cl_GameState* gameState = cl_GameState::GetInstance();
    if (auto* character = dynamic_cast<cl_ItemAsset*>(
            pools && gameState ? pools->FindItemOrCharacter(gameState->GetCurrentCharacterId()) : nullptr))
        character->SetCurrentScene(sceneId);
    const cl_GameComponents* hub = cl_GameComponents::GetInstance();
    cl_Character* walker = hub ? hub->GetCurrentCharacter() : nullptr;
    const Ogre::SceneNode* entry =
        m_currentScene && walker ? m_currentScene->GetSceneNode(m_location) : nullptr;
    // Without a character to walk out, or a place to walk to, nothing would end the wait.
    if (!m_exitArmed || !entry)
    {
        RequestSceneChange(sceneId);
        return;
    }
    m_targetScene = sceneId;
    m_changePending = true;
    walker->MoveAlongPath(entry->_getDerivedPosition(), this);
}

void cl_SceneManager::OnDone(int)
{
    if (m_changePending && m_exitArmed)
        RequestSceneChange(m_targetScene);
    else if (!m_changePending && m_characterSwitchPending)
        FinishCharacterSwitch(false);
    else
        LOG_WARNING("OnDone received and don't know what to do!");
}

void cl_SceneManager::FadeToBlack(float duration)
{
    m_targetScene.clear();
    if (m_changePending)
    {
        m_changePending = false;
        ShowWaitPointer(false);
    }
    if (m_curtain)
        m_curtain->FadeToBlack(duration);
}

void cl_SceneManager::ShowWaitPointer(bool wait)
{
    if (cl_IngameMenu* menu = IngameMenu())
    {
        menu->m_pointerFlags.wait = wait;
        menu->UpdateMousePointer();
    }
}

void cl_SceneManager::SetQualityLevel(int level)
{
    if (level == m_qualityLevel)
        return;
    m_qualityLevel = level;
    if (!m_currentScene || !m_currentScene->GetSceneManager())
        return;
    m_loader.ReloadScene(nullptr, m_qualityLevel);
    m_currentScene->SetShadowsEnabled(m_shadowMode);
}

void cl_SceneManager::SwitchScene(const std::string& target, const std::string& backdrop, bool sendEvents,
                                  bool placeCharacter)
{
    cl_Scene* scene = FindScene(target);
    if (!scene)
    {
        if (cl_IngameMenu* menu = IngameMenu())
            menu->SetMouseOverText("Diese Szene gibt es noch nicht!");
    }
    else if (target != m_currentSceneName)
        EnterScene(*scene, target, backdrop, sendEvents, placeCharacter);
    // A loaded game whose scene could not be entered leaves no placement for a later change to restore.
    m_restoreCharacters = false;
    // The next frame's time would count the load.
    if (Ogre::Root* root = Ogre::Root::getSingletonPtr())
        root->clearEventTimes();
    if (m_curtain)
        m_curtain->FadeFromBlack(1.0f);
    m_changePending = false;
}

void cl_SceneManager::EnterScene(cl_Scene& scene, const std::string& target, const std::string& backdrop,
                                 bool sendEvents, bool placeCharacter)
{
    if (cl_IngameMenu* menu = IngameMenu())
        menu->HideAllTexts();
    if (m_currentScene)
    {
        if (sendEvents)
            SendToScene(*m_currentScene, "scene.Leave", target);
        m_loader.UnloadScene(*m_currentScene, false);
    }
    const std::string oldScene = m_currentSceneName;
    m_currentSceneName = target;
    m_currentScene = &scene;
    // Without a window (the game logic run alone) there is no location to build.
    if (m_ogreSceneManager)
    {
        scene.SetCamera(m_camera);
        scene.SetSceneManager(m_ogreSceneManager);
        m_loader.LoadScene(scene, m_qualityLevel, false, backdrop);
        scene.SetShadowsEnabled(m_shadowMode);
    }
    // The scene put its characters at its positions for them; a loaded game has them where it was saved.
    if (cl_CharacterManager* characters = cl_CharacterManager::GetInstance();
        characters && m_restoreCharacters)
        characters->RestoreSavedPlacements();
    cl_GameState* gameState = cl_GameState::GetInstance();
    if (gameState)
        gameState->SetCurrentSceneId(target);
    const cl_PoolManager* pools = cl_PoolManager::GetInstance();
    if (auto* character = dynamic_cast<cl_ItemAsset*>(
            pools && gameState ? pools->FindItemOrCharacter(gameState->GetCurrentCharacterId()) : nullptr))
        character->SetCurrentScene(target);
    const cl_GameComponents* hub = cl_GameComponents::GetInstance();
    if (cl_Character* current = hub ? hub->GetCurrentCharacter() : nullptr)
        current->MoveToLocation(oldScene, placeCharacter);
    m_location = "undefined";
    if (sendEvents)
        SendToScene(scene, "scene.Enter", oldScene);
}

void cl_SceneManager::SendToScene(const cl_Scene& scene, const char* event, const std::string& data)
{
    cl_PoolManager* pools = cl_PoolManager::GetInstance();
    if (!pools)
        return;
    cl_Argument argument;
    argument.SetString(data);
    pools->SendToAsset(pools->FindAsset(scene.GetId()), event, argument, 0.0f);
}

void cl_SceneManager::UnloadScene()
{
    if (m_currentScene)
        m_loader.UnloadScene(*m_currentScene, false);
    m_currentScene = nullptr;
    m_currentSceneName.clear();
}

bool cl_SceneManager::HasLoadedScene() const
{
    return m_currentScene != nullptr;
}

cl_Scene* cl_SceneManager::FindScene(const std::string& sceneId) const
{
    const auto found = m_scenes.find(sceneId);
    return found == m_scenes.end() ? nullptr : found->second.get();
}

void cl_SceneManager::SetLoadedScene(std::unique_ptr<cl_Scene> scene)
{
    if (!scene)
    {
        m_scenes.erase(m_currentSceneName);
        m_currentScene = nullptr;
        m_currentSceneName.clear();
        return;
    }
    m_currentSceneName = scene->GetId();
    m_currentScene = scene.get();
    m_scenes[m_currentSceneName] = std::move(scene);
}

void cl_SceneManager::RequestSceneChange(const std::string& targetSceneId)
{
    m_exitArmed = false;
    m_targetScene = targetSceneId;
    const cl_Scene* target = FindScene(targetSceneId);
    if (!target || (target->GetSceneManager() && target->IsOverlay()))
        return;
    m_changePending = true;
    ShowWaitPointer(true);
    if (!m_curtain)
        return;
    if (!m_curtain->IsClear())
        m_curtain->FadeToBlack(0.0f);
    else
        m_curtain->FadeToBlack(1.0f);
}

void cl_SceneManager::OnCharacterSwitchPending()
{
    if (!m_characterSwitchPending)
        return;
    ShowWaitPointer(true);
    const cl_GameComponents* hub = cl_GameComponents::GetInstance();
    const cl_CharacterManager* characters = cl_CharacterManager::GetInstance();
    if (cl_Character* current = hub ? hub->GetCurrentCharacter() : nullptr)
    {
        // The turn this manager waits for must not finish the switch in view now.
        current->ReleaseAction(this);
        current->AbortAll();
    }
    if (cl_Character* next = characters ? characters->GetCharacter(m_switchCharacterName) : nullptr)
        next->AbortAll();
    m_targetScene.clear();
    if (m_curtain)
        m_curtain->FadeToBlack(1.0f);
    else
        FinishCharacterSwitch(true);
}

void cl_SceneManager::SwitchToCharacter(const std::string& characterId)
{
    cl_GameComponents* hub = cl_GameComponents::GetInstance();
    const cl_GameState* gameState = cl_GameState::GetInstance();
    if (!hub || (gameState && gameState->GetCurrentCharacterId() == characterId))
        return;
    cl_SequencePlayer& sequences = hub->GetSequencePlayer();
    if (sequences.IsForegroundPlaying())
        sequences.RequestAbortForeground();
    cl_Character* current = hub->GetCurrentCharacter();
    if (!current || m_changePending)
    {
        m_characterSwitchPending = false;
        hub->SetCurrentCharacter(characterId);
        if (m_currentScene)
            m_currentScene->ApplyNavmesh();
        return;
    }
    m_characterSwitchPending = true;
    m_switchCharacterName = characterId;
    const cl_PoolManager* pools = cl_PoolManager::GetInstance();
    const auto* asset =
        dynamic_cast<const cl_ItemAsset*>(pools ? pools->FindItemOrCharacter(characterId) : nullptr);
    std::string scene = asset ? asset->GetCurrentScene() : std::string();
    if (scene.empty() || scene == "none")
        scene = m_currentSceneName;
    if (scene != m_currentSceneName)
    {
        hub->SetCurrentCharacter(characterId);
        RequestSceneChange(scene);
        // A scene that cannot be entered would keep the game waiting for the switch.
        if (!m_changePending)
            m_characterSwitchPending = false;
        return;
    }
    const cl_CharacterManager* characters = cl_CharacterManager::GetInstance();
    if (cl_Character* next = characters ? characters->GetCharacter(characterId) : nullptr)
        current->SetFocusTarget(next, 0.0f);
    const Ogre::SceneNode* target =
        m_currentScene ? m_currentScene->ResolveTargetPosition(current->GetName()) : nullptr;
    if (target)
        current->TurnToDirection(target->_getDerivedPosition(), 360.0f, this);
    else
        FinishCharacterSwitch(false);
}

void cl_SceneManager::FinishCharacterSwitch(bool behindCurtain)
{
    m_characterSwitchPending = false;
    cl_GameComponents* hub = cl_GameComponents::GetInstance();
    const cl_CharacterManager* characters = cl_CharacterManager::GetInstance();
    cl_Character* previous = hub ? hub->GetCurrentCharacter() : nullptr;
    cl_Character* next = characters ? characters->GetCharacter(m_switchCharacterName) : nullptr;
    Ogre::SceneNode* previousPlace =
        previous && m_currentScene ? m_currentScene->ResolvePosition(previous->GetName()) : nullptr;
    Ogre::SceneNode* nextPlace =
        next && m_currentScene ? m_currentScene->ResolveTargetPosition(m_switchCharacterName) : nullptr;
    if (behindCurtain)
    {
        if (previous)
            previous->AbortAll();
        if (next)
            next->AbortAll();
        if (previous && previousPlace)
            previous->SetLocation(previousPlace);
        if (next && nextPlace)
            next->SetLocation(nextPlace);
    }
    else
    {
        if (previous && previousPlace)
            previous->TurnToDirection(previousPlace->_getDerivedPosition(), 0.0f, nullptr);
        if (next && nextPlace)
            next->TurnToDirection(nextPlace->_getDerivedPosition(), 360.0f, nullptr);
    }
    if (previous && next)
        previous->SetFocusTarget(next, 0.0f);
    if (next)
        next->StopFocus();
    if (hub)
        hub->SetCurrentCharacter(m_switchCharacterName);
    m_switchCharacterName.clear();
    if (m_currentScene)
        m_currentScene->ApplyNavmesh();
}

void cl_SceneManager::NotifyFadedToBlack()
{
    if (!m_changePending)
    {
        if (!m_characterSwitchPending)
            return;
        FinishCharacterSwitch(true);
        if (m_curtain)
            m_curtain->FadeFromBlack(1.0f);
        return;
    }
    m_switching = true;
    if (cl_GameComponents* hub = cl_GameComponents::GetInstance())
        hub->SetSelectedItem(nullptr);
    if (m_targetScene.empty())
        return;
    const std::string target = m_targetScene;
    bool placeCharacter = true;
    if (m_characterSwitchPending)
    {
        m_characterSwitchPending = false;
        placeCharacter = false;
    }
    else if (m_switchToSceneNoSpawn)
    {
        m_switchToSceneNoSpawn = false;
        placeCharacter = false;
    }
    SwitchScene(target, "default", true, placeCharacter);
    m_targetScene.clear();
}

void cl_SceneManager::NotifyFadedIn()
{
    m_switching = false;
    ShowWaitPointer(false);
}

void cl_SceneManager::NotifyChapterChanged()
{
    UnloadScene();
    if (cl_IngameMenu* menu = IngameMenu())
        menu->Reset();
}

void cl_SceneManager::NotifyGameStateLoading()
{
    UnloadScene();
    m_restoreCharacters = true;
    if (cl_IngameMenu* menu = IngameMenu())
        menu->Reset();
    if (m_curtain)
        m_curtain->EndFade(true);
}

void cl_SceneManager::NotifyGameStateLoaded(cl_GameState* gameState)
{
    TiXmlElement* root = gameState ? gameState->GetRoot() : nullptr;
    const TiXmlElement* saved = root ? root->FirstChildElement(STATE_ELEMENT) : nullptr;
    const TiXmlElement* camera = saved ? saved->FirstChildElement(CAMERA_ELEMENT) : nullptr;
    cl_Camera* shots = cl_Camera::GetInstance();
    if (!camera || !shots)
        return;
    for (const char* attribute : {"ShotActivator", "ShotGenerator", "shot"})
    {
        const std::string shot = AttributeOrEmpty(*camera, attribute);
        if (!shot.empty())
        {
            shots->SetPendingShotName(shot);
            return;
        }
    }
}

void cl_SceneManager::NotifyGameStateSaving(cl_GameState* gameState)
{
    TiXmlElement* root = gameState ? gameState->GetRoot() : nullptr;
    if (!root)
        return;
    if (TiXmlElement* old = root->FirstChildElement(STATE_ELEMENT))
        root->RemoveChild(old);
    TiXmlElement state(STATE_ELEMENT);
    TiXmlElement camera(CAMERA_ELEMENT);
    if (const cl_Camera* shots = cl_Camera::GetInstance())
    {
        if (!shots->GetGeneratorName().empty())
            camera.SetAttribute("ShotActivator", shots->GetGeneratorName());
        else
            camera.SetAttribute("shot", shots->GetStaticShotName());
    }
    state.InsertEndChild(camera);
    root->InsertEndChild(state);
}

bool cl_SceneManager::IsBusy() const
{
    return m_changePending || m_characterSwitchPending || m_interactionBlocked || m_switching;
}
