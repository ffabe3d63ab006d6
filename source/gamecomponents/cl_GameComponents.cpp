#include "gamecomponents/cl_GameComponents.h"

#include "TarqApp.h"
#include "assets/cl_AssetLogic.h"
#include "assets/cl_CharacterAsset.h"
#include "assets/cl_CharacterPool.h"
#include "assets/cl_GameState.h"
#include "assets/cl_ItemAsset.h"
#include "assets/cl_PoolManager.h"
#include "assets/cl_SceneAsset.h"
#include "assets/cl_ScenePool.h"
#include "assets/cl_TextPool.h"
#include "common/LogCall.h"
#include "common/cl_Command.h"
#include "common/cl_GameTime.h"
#include "common/cl_Localizer.h"
#include "common/cl_TarqdataLoader.h"
#include "gamecomponents/cl_DialogSystem.h"
#include "gamecomponents/cl_Inventory.h"
#include "gamecomponents/cl_Party.h"
#include "gamecomponents/cl_QuestSystem.h"
#include "gamecomponents/cl_VideoPlayer.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_CharacterManager.h"
#include "graphics/cl_Puppet.h"
#include "graphics/cl_SceneManager.h"
#include "gui/cl_GUISystem.h"

#include <OgreSceneNode.h>
#include <tinyxml.h>

namespace
{
const char* const TIME_GROUP = "gamecomponents";
// Scene-query flags: the controlled character is never picked, the others are.
const uint32_t QUERY_CONTROLLED_CHARACTER = 0;
const uint32_t QUERY_CHARACTER = 2;

// The scene asset of the scene the character's asset is in; null when any of them is missing.
cl_SceneAsset* SceneOfCharacter(const std::string& characterId)
{
    const cl_PoolManager* pools = cl_PoolManager::GetInstance();
    if (!pools)
        return nullptr;
    const auto* character =
        dynamic_cast<cl_CharacterAsset*>(pools->GetCharacterPool()->FindAsset(characterId));
    if (!character)
        return nullptr;
    return dynamic_cast<cl_SceneAsset*>(pools->GetScenePool()->FindAsset(character->GetCurrentScene()));
}

// The logic of the asset with that id, searched across the pools; null when either is missing.
cl_AssetLogic* FindLogic(const std::string& assetId)
{
    const cl_PoolManager* pools = cl_PoolManager::GetInstance();
    const cl_Asset* asset = pools ? pools->FindAsset(assetId) : nullptr;
    return asset ? asset->GetLogic() : nullptr;
}

std::string CurrentCharacterId()
{
    const cl_GameState* gameState = cl_GameState::GetInstance();
    return gameState ? gameState->GetCurrentCharacterId() : std::string();
}

TarqApp* Application()
{
    return dynamic_cast<TarqApp*>(BaseApplication::GetInstance());
}

cl_IngameMenu* IngameMenu()
{
    cl_GUISystem* gui = cl_GUISystem::GetInstance();
    return gui ? &gui->GetIngameMenu() : nullptr;
}
} // namespace

cl_GameComponents::cl_GameComponents(cl_CommandDistributor& distributor)
    : cl_GameComponents(distributor, Components())
{
}

cl_GameComponents::cl_GameComponents(cl_CommandDistributor& distributor, Components components)
    : m_receiver(distributor, "game", this)
{
    // Created before the hub joins the game-state listeners, so they are told before it.
    m_inventory = std::make_unique<cl_Inventory>(distributor);
    m_party = std::make_unique<cl_Party>();
    m_sequencePlayer = components.sequencePlayer ? std::move(components.sequencePlayer)
                                                 : std::make_unique<cl_SequencePlayer>();
    m_dialogSystem =
        components.dialogSystem ? std::move(components.dialogSystem) : std::make_unique<cl_DialogSystem>();
    m_questSystem = std::make_unique<cl_QuestSystem>();
    m_videoPlayer =
        components.videoPlayer ? std::move(components.videoPlayer) : std::make_unique<cl_VideoPlayer>();

    if (cl_GameTime* gameTime = cl_GameTime::GetInstance())
    {
        gameTime->AddListener(this, TIME_GROUP, 0);
        TimeGroup& group = gameTime->GetTimeGroup(TIME_GROUP);
        group.timeFlow = 1.0f;
        group.maxCap = 0.1f;
    }
    if (cl_GameState* gameState = cl_GameState::GetInstance())
        gameState->AddListener(this);
    m_sequencePlayer->AddListener(this);
}

cl_GameComponents::~cl_GameComponents()
{
    if (cl_GameTime* gameTime = cl_GameTime::GetInstance())
        gameTime->RemoveListener(this);
    if (cl_GameState* gameState = cl_GameState::GetInstance())
        gameState->RemoveListener(this);
    m_sequencePlayer->RemoveListener(this);
    m_videoPlayer.reset();
    m_questSystem.reset();
    m_inventory.reset();
    m_party.reset();
    m_dialogSystem.reset();
    m_sequencePlayer.reset();
}

void cl_GameComponents::SetMouseOverObject(cl_ItemAsset* object)
{
    if (m_dialogSystem->IsDialogActive() || object == m_mouseOverObject)
        return;
    m_mouseOverObject = object;
    UpdateMouseOverText();
    m_listeners.Tell([object](IGameComponentListener& listener) { listener.OnInteractionChanged(object); });
}

void cl_GameComponents::ClearMouseOverObject()
{
    if (!m_mouseOverObject)
        return;
    m_mouseOverObject = nullptr;
    UpdateMouseOverText();
    m_listeners.Tell([](IGameComponentListener& listener) { listener.OnInteractionChanged(nullptr); });
}

void cl_GameComponents::SetMouseOverPortrait(cl_CharacterAsset* portrait)
{
    if (portrait == m_mouseOverPortrait)
        return;
    m_mouseOverPortrait = portrait;
    UpdateMouseOverText();
}

void cl_GameComponents::SetSelectedItem(cl_ItemAsset* item)
{
    m_selectedItem = item;
    m_listeners.Tell([item](IGameComponentListener& listener) { listener.OnItemSelected(item); });
}

void cl_GameComponents::UpdateMouseOverText()
{
    if (cl_IngameMenu* menu = IngameMenu())
        menu->SetLabelText(MouseOverText());
}

std::string cl_GameComponents::MouseOverText() const
{
    if (!m_sequencePlayer->IsForegroundInterruptible())
        return std::string();
    if (m_mouseOverPortrait)
    {
        const std::string token = "play_with_" + m_mouseOverPortrait->GetId();
        const cl_Localizer* localizer = cl_Localizer::GetInstance();
        return localizer ? localizer->FindToken(token) : token;
    }
    const cl_PoolManager* pools = cl_PoolManager::GetInstance();
    if (!m_mouseOverObject || m_dialogSystem->IsDialogActive() || !pools)
        return std::string();
    return pools->GetTextPool()->GetText(m_mouseOverObject->GetCurrentMouseOverTextId(m_selectedItem));
}

bool cl_GameComponents::CanInteract() const
{
    if (!m_sequencePlayer->IsForegroundInterruptible())
        return false;
    if (const cl_SceneManager* scenes = cl_SceneManager::GetInstance())
    {
        if (scenes->IsChangePending() || scenes->IsCharacterSwitchPending() ||
            scenes->IsInteractionBlocked() || scenes->IsCurtainClosed())
            return false;
    }
    return !m_videoPlayer->IsPlaying();
}

void cl_GameComponents::SetCurrentCharacter(const std::string& characterId)
{
    const cl_CharacterManager* characters = cl_CharacterManager::GetInstance();
    cl_Character* character = characters ? characters->GetCharacter(characterId) : nullptr;
    if (character == m_currentCharacter)
        return;

    SetSelectedItem(nullptr);
    cl_GameState* gameState = cl_GameState::GetInstance();
    if (cl_Character* old = m_currentCharacter)
    {
        old->SetQueryFlags(QUERY_CHARACTER);
        if (character)
        {
            character->SetBusyCount(old->GetBusyCount());
            // Whatever the new character did before, it is the player's now and has just been busy.
            character->SetIdleTime(0.0f);
            old->SetBusyCount(0);
            old->SetIdleTime(0.0f);
        }
        // The game state still names the old character.
        const std::string oldId = CurrentCharacterId();
        if (m_party->IsMember(oldId))
        {
            if (cl_SceneAsset* scene = SceneOfCharacter(oldId))
            {
                scene->AddPuppet(oldId, "positions_inactive_pc_" + oldId, false);
                old->StoreTransform();
            }
        }
    }

    if (!characterId.empty())
    {
        if (gameState)
            gameState->SetCurrentCharacterId(characterId);
        m_listeners.Tell([&characterId](IGameComponentListener& listener)
                         { listener.OnActiveCharacterChanged(characterId); });
        m_inventory->SetCurrentCharacter(characterId);
        if (m_inventory->HasInventoryElement())
            m_inventory->TellInventoryChanged();
    }

    m_currentCharacter = character;
    if (character)
    {
        character->SetQueryFlags(QUERY_CONTROLLED_CHARACTER);
        const std::string currentId = CurrentCharacterId();
        if (cl_SceneAsset* scene = SceneOfCharacter(currentId))
            scene->RemovePuppet(currentId, false);
    }
}

void cl_GameComponents::OnCharacterDeleted(const cl_Character& character)
{
    if (&character == m_currentCharacter)
        m_currentCharacter = nullptr;
}

bool cl_GameComponents::Interact()
{
    if (!CanInteract())
    {
        cl_SceneManager* scenes = cl_SceneManager::GetInstance();
        if (!scenes || !scenes->IsBusy())
        {
            if (!m_sequencePlayer->IsForegroundInterruptible())
                m_sequencePlayer->SkipForeground();
        }
        else if (scenes->IsChangePending())
        {
            if (scenes->IsExitArmed())
                scenes->RequestSceneChange(scenes->GetTargetScene());
        }
        else if (scenes->IsCharacterSwitchPending())
            scenes->OnCharacterSwitchPending();
        return true;
    }

    if (m_sequencePlayer->IsForegroundPlaying())
        m_sequencePlayer->RequestAbortForeground();

    bool used = true;
    if (m_dialogSystem->IsDialogActive())
        ChooseHoveredDialogEntry();
    else if (m_mouseOverPortrait)
    {
        if (cl_AssetLogic* logic = m_mouseOverPortrait->GetLogic())
            logic->SendEvent("character.Activate", nullptr);
    }
    else if (cl_ItemAsset* object = m_mouseOverObject)
    {
        // The character's logic may run commands that change what is under the mouse; the click stays on
        // the object it was made on.
        if (cl_AssetLogic* logic = FindLogic(CurrentCharacterId()))
            logic->SendEvent("character.Interact", &object->GetIdArgument());
        cl_ItemAsset* item = m_selectedItem;
        const cl_AssetLogic* objectLogic = object->GetLogic();
        const bool accepted = item && objectLogic && objectLogic->HasInteractionItem(item);
        m_sequencePlayer->VisualizeInteraction(object, item);
        if (accepted)
            SetSelectedItem(nullptr);
    }
    else
        used = false;

    m_sequencePlayer->UpdateLayer(cl_SequencePlayer::FOREGROUND);
    return used;
}

bool cl_GameComponents::ChooseHoveredDialogEntry()
{
    cl_IngameMenu* menu = IngameMenu();
    const int entry = menu ? menu->GetDialogGui().GetHoveredEntry() : -1;
    if (entry < 0)
        return false;
    m_dialogSystem->ChooseByIndex(entry);
    return true;
}

void cl_GameComponents::Examine()
{
    if (!CanInteract())
        return;
    if (m_dialogSystem->IsDialogActive())
    {
        if (ChooseHoveredDialogEntry())
            return;
        cl_IngameMenu* menu = IngameMenu();
        const bool overPanel = menu && menu->GetDialogGui().IsMouseOverPanel();
        if (!overPanel && m_dialogSystem->GetDialogPartner())
            m_dialogSystem->ChooseExitTopic();
    }
    else if (m_selectedItem)
        SetSelectedItem(nullptr);
    else if (m_mouseOverObject)
    {
        if (m_sequencePlayer->IsForegroundPlaying())
            m_sequencePlayer->RequestAbortForeground();
        m_sequencePlayer->Examine(m_mouseOverObject);
        m_sequencePlayer->UpdateLayer(cl_SequencePlayer::FOREGROUND);
    }
}

void cl_GameComponents::RequestChapterStart(const std::string& chapterId, int32_t difficulty)
{
    m_requestedChapter = chapterId;
    m_requestedDifficulty = difficulty;
}

void cl_GameComponents::Update(float)
{
    if (!m_requestedChapter.empty())
    {
        if (!CanInteract())
            return;
        // Taken before the start, so that a start requested while the chapter starts is kept.
        const std::string chapter = m_requestedChapter;
        m_requestedChapter.clear();
        if (!m_chapterStarter || !m_chapterStarter(chapter, m_requestedDifficulty))
        {
            LOG_ERROR("chapter '%s' not found... quitting!", chapter.c_str());
            if (TarqApp* application = Application())
                application->RequestQuit();
        }
        return;
    }
    if (!m_gameOverRequested || !CanInteract())
        return;
    m_gameOverRequested = false;
    cl_SceneManager* scenes = cl_SceneManager::GetInstance();
    if (cl_Curtain* curtain = scenes ? scenes->GetCurtain() : nullptr)
        curtain->FadeFromBlack(0.0f);
    if (cl_TarqdataLoader* loader = cl_TarqdataLoader::GetInstance())
        loader->CloseChapter();
    if (TarqApp* application = Application())
        application->SetMode(TarqApp::MODE_MAINMENU);
}

void cl_GameComponents::Reset()
{
    if (!m_dialogSystem->IsDialogActive())
        ClearMouseOverObject();
    SetSelectedItem(nullptr);
    if (m_mouseOverPortrait)
    {
        m_mouseOverPortrait = nullptr;
        UpdateMouseOverText();
    }
    m_sequencePlayer->AbortAll();
    if (cl_Character* character = m_currentCharacter)
    {
        character->SetQueryFlags(QUERY_CHARACTER);
        if (Ogre::SceneNode* node = character->GetPuppet() ? character->GetPuppet()->GetSceneNode() : nullptr)
            node->setScale(Ogre::Vector3::UNIT_SCALE);
        m_currentCharacter = nullptr;
    }
}

bool cl_GameComponents::ExecuteCmd(cl_Command& cmd)
{
    LOG_WARNING("Received unknown Cmd '%s'!", cmd.m_name.c_str());
    return false;
}

void cl_GameComponents::NotifyGameStateCleared()
{
    // The object's state goes with the tree, and with the chapter the object itself: a dialog must not
    // keep it under the mouse.
    ClearMouseOverObject();
    Reset();
}

void cl_GameComponents::NotifyChapterChanged()
{
    ClearMouseOverObject();
    Reset();
}

void cl_GameComponents::NotifyGameStateLoading() {}

void cl_GameComponents::NotifyGameStateLoaded(cl_GameState*)
{
    Reset();
}

void cl_GameComponents::NotifyGameStateSaving(cl_GameState*) {}

void cl_GameComponents::OnSequenceStarted(cl_SequenceAsset*, int)
{
    UpdateMouseOverText();
}

void cl_GameComponents::OnSequenceUninterruptible(cl_SequenceAsset*)
{
    UpdateMouseOverText();
}

void cl_GameComponents::OnSequenceAborted(cl_SequenceAsset*)
{
    UpdateMouseOverText();
}

void cl_GameComponents::OnSequenceFinished(cl_SequenceAsset*)
{
    UpdateMouseOverText();
}
