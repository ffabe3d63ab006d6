#include "gamecomponents/cl_GameComponents.h"

#include "TarqApp.h"
#include "assets/cl_AssetLogic.h"
#include "assets/cl_CharacterAsset.h"
#include "assets/cl_CharacterPool.h"
#include "assets/cl_GameState.h"
#include "assets/cl_ItemAsset.h"
#include "assets/cl_ItemPool.h"
#include "assets/cl_PoolManager.h"
#include "assets/cl_SceneAsset.h"
#include "assets/cl_ScenePool.h"
#include "assets/cl_SequenceAsset.h"
#include "assets/cl_SequencePool.h"
#include "assets/cl_TextPool.h"
#include "assets/cl_TopicAsset.h"
#include "assets/cl_TopicPool.h"
#include "common/CommandArguments.h"
#include "common/LogCall.h"
#include "common/StringHelpers.h"
#include "common/cl_Command.h"
#include "common/cl_GameTime.h"
#include "common/cl_Localizer.h"
#include "common/cl_ScriptSystem.h"
#include "common/cl_TarqdataLoader.h"
#include "gamecomponents/cl_DialogSystem.h"
#include "gamecomponents/cl_Inventory.h"
#include "gamecomponents/cl_Party.h"
#include "gamecomponents/cl_QuestSystem.h"
#include "gamecomponents/cl_SaveGameManager.h"
#include "gamecomponents/cl_VideoPlayer.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_CharacterManager.h"
#include "graphics/cl_Scene.h"
#include "graphics/cl_SceneManager.h"
#include "gui/cl_GUISystem.h"
#include "minigames/cl_MinigameManager.h"

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

// The receiver's reader of the command's arguments.
CommandArguments Arguments(const cl_Command& cmd)
{
    return CommandArguments(cmd, "game");
}

void AddResult(cl_Command& cmd, const std::string& text)
{
    cmd.m_results.GetArg(-1)->SetString(text);
}

void AddResult(cl_Command& cmd, bool value)
{
    cmd.m_results.GetArg(-1)->SetBool(value);
}

// The id that the caller's logic parameter param holds; empty when the caller is not found or has no logic.
std::string ParamOfCaller(const std::string& callerId, const std::string& param)
{
    const cl_AssetLogic* logic = FindLogic(callerId);
    return logic ? logic->GetParam(param) : std::string();
}

template <class Asset, class Pool> Asset* FindIn(Pool* (cl_PoolManager::*pool)() const, const std::string& id)
{
    const cl_PoolManager* pools = cl_PoolManager::GetInstance();
    return pools && !id.empty() ? dynamic_cast<Asset*>((pools->*pool)()->FindAsset(id)) : nullptr;
}

// The text id that the caller's logic parameter param names; empty unless the texts pool has that text.
std::string TextOfCaller(const std::string& callerId, const std::string& param)
{
    const cl_Asset* text = FindIn<cl_Asset>(&cl_PoolManager::GetTextPool, ParamOfCaller(callerId, param));
    return text ? text->GetId() : std::string();
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
    m_dialogSystem = components.dialogSystem ? std::move(components.dialogSystem)
                                             : std::make_unique<cl_DialogSystem>(m_sequencePlayer.get());
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
        menu->SetMouseOverText(MouseOverText());
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
            scenes->IsInteractionBlocked() || scenes->IsSwitching())
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
            m_sequencePlayer->OnBusyCountHandedOver(old->GetName(), character->GetName());
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
        std::string failure;
        if (!m_chapterStarter || !m_chapterStarter(chapter, m_requestedDifficulty, failure))
            OnChapterStartFailed(chapter, failure);
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

void cl_GameComponents::OnChapterStartFailed(const std::string& chapter, const std::string& failure)
{
    // The start logged what it found wrong with the chapter's data.
    const cl_TarqdataLoader* loader = cl_TarqdataLoader::GetInstance();
    const char* what =
        m_chapterStarter && loader && loader->HasChapter(chapter) ? "cannot be started" : "not found";
    cl_GUISystem* gui = cl_GUISystem::GetInstance();
    if (gui && gui->GetMainMenu().HasMainPage())
    {
        LOG_ERROR("chapter '%s' %s... back to the main menu", chapter.c_str(), what);
        gui->GetMainMenu().ReturnAfterFailure(
            failure.empty() ? Format("The chapter '%s' cannot start.", chapter.c_str()) : failure);
        return;
    }
    LOG_ERROR("chapter '%s' %s... quitting!", chapter.c_str(), what);
    if (TarqApp* application = Application())
        application->RequestQuitForFailure();
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
        if (Ogre::SceneNode* node = character->GetSceneNode())
            node->setScale(Ogre::Vector3::UNIT_SCALE);
        m_currentCharacter = nullptr;
    }
}

bool cl_GameComponents::ExecuteCmd(cl_Command& cmd)
{
    // An unknown name is answered false without a log line.
    const CommandEntry* command = Arguments(cmd).Find(COMMANDS, false);
    if (!command)
        return false;
    (this->*command->run)(cmd);
    return command->answer;
}

void cl_GameComponents::CmdExitDialog(cl_Command&)
{
    m_dialogSystem->ExitDialog();
}

void cl_GameComponents::CmdAbortSequence(cl_Command& cmd)
{
    m_sequencePlayer->AbortSequence(Arguments(cmd).Int(0));
}

void cl_GameComponents::CmdAddChoice(cl_Command& cmd)
{
    const CommandArguments args = Arguments(cmd);
    const std::string textId = TextOfCaller(args.String(0), args.String(2));
    if (!textId.empty())
        m_dialogSystem->AddChoice(args.String(1), textId);
}

void cl_GameComponents::CmdCharacterInDialog(cl_Command& cmd)
{
    const cl_CharacterAsset* character =
        FindIn<cl_CharacterAsset>(&cl_PoolManager::GetCharacterPool, Arguments(cmd).String(0));
    AddResult(cmd, character && character == m_dialogSystem->GetDialogPartner());
}

void cl_GameComponents::CmdIsDialogActive(cl_Command& cmd)
{
    AddResult(cmd, m_dialogSystem->IsDialogActive());
}

void cl_GameComponents::CmdClearChoices(cl_Command&)
{
    m_dialogSystem->ClearChoices();
}

void cl_GameComponents::CmdGetCurrentCharacter(cl_Command& cmd)
{
    AddResult(cmd, CurrentCharacterId());
}

void cl_GameComponents::CmdGetCurrentScene(cl_Command& cmd)
{
    const cl_GameState* gameState = cl_GameState::GetInstance();
    AddResult(cmd, gameState ? gameState->GetCurrentSceneId() : std::string());
}

void cl_GameComponents::CmdGetCurrentSceneName(cl_Command& cmd)
{
    const cl_SceneManager* scenes = cl_SceneManager::GetInstance();
    AddResult(cmd, scenes && !scenes->IsChangePending() ? scenes->GetCurrentSceneName() : std::string());
}

void cl_GameComponents::CmdGetSequenceCaller(cl_Command& cmd)
{
    if (const cl_AssetLogic* caller = m_sequencePlayer->GetSequenceCaller(Arguments(cmd).Int(0)))
        AddResult(cmd, caller->GetAssetId());
}

void cl_GameComponents::CmdGetSequenceCallerType(cl_Command& cmd)
{
    const cl_AssetLogic* caller = m_sequencePlayer->GetSequenceCaller(Arguments(cmd).Int(0));
    const cl_PoolManager* pools = cl_PoolManager::GetInstance();
    if (const cl_Asset* asset = caller && pools ? pools->FindAsset(caller->GetAssetId()) : nullptr)
        AddResult(cmd, asset->GetType());
}

void cl_GameComponents::CmdPlaySequence(cl_Command& cmd)
{
    StartSequence(cmd, true, false);
}

void cl_GameComponents::CmdPlayBackgroundSequence(cl_Command& cmd)
{
    StartSequence(cmd, false, false);
}

void cl_GameComponents::CmdEnqueueSequence(cl_Command& cmd)
{
    StartSequence(cmd, true, true);
}

void cl_GameComponents::CmdEnqueueBackgroundSequence(cl_Command& cmd)
{
    StartSequence(cmd, false, true);
}

void cl_GameComponents::StartSequence(cl_Command& cmd, bool foreground, bool enqueue)
{
    const CommandArguments args = Arguments(cmd);
    cl_AssetLogic* caller = FindLogic(args.String(0));
    const std::string sequenceId = caller ? caller->GetParam(args.String(1)) : std::string();
    cl_SequenceAsset* sequence = FindIn<cl_SequenceAsset>(&cl_PoolManager::GetSequencePool, sequenceId);
    if (!sequence)
        return;
    sequence->SetOwnerLogic(caller);
    sequence->SetInteractionTarget(nullptr);
    sequence->SetUsedItem(nullptr);
    sequence->SetCallerName("none");
    sequence->SetBlocking(foreground);
    const int layer = foreground ? cl_SequencePlayer::FOREGROUND : args.Int(2);
    if (enqueue)
        m_sequencePlayer->EnqueueSequence(sequence, layer, false);
    else
        m_sequencePlayer->PlaySequence(sequence, layer, false);
}

void cl_GameComponents::CmdQueryChoice(cl_Command& cmd)
{
    const cl_PoolManager* pools = cl_PoolManager::GetInstance();
    const cl_Asset* asset = pools ? pools->FindAsset(Arguments(cmd).String(0)) : nullptr;
    if (asset && asset->GetLogic())
        m_dialogSystem->QueryChoice(asset->GetLogic());
}

void cl_GameComponents::CmdSetCurrentCharacter(cl_Command& cmd)
{
    const CommandArguments args = Arguments(cmd);
    cl_SceneManager* scenes = cl_SceneManager::GetInstance();
    if (scenes && scenes->GetLoadedScene() && m_currentCharacter)
        scenes->SwitchToCharacter(args.String(0));
    else
        SetCurrentCharacter(args.String(0));
}

void cl_GameComponents::CmdSetNavmesh(cl_Command& cmd)
{
    const CommandArguments args = Arguments(cmd);
    const cl_SceneManager* scenes = cl_SceneManager::GetInstance();
    cl_Scene* loaded = scenes ? scenes->GetLoadedScene() : nullptr;
    const std::string navmesh = args.String(0);
    if (!args.Has(1))
    {
        if (loaded)
            loaded->SetNavmesh(navmesh);
        return;
    }
    const std::string sceneId = args.String(1);
    if (loaded && loaded->GetAsset() && loaded->GetAsset()->GetId() == sceneId)
        loaded->SetNavmesh(navmesh);
    else if (cl_SceneAsset* scene = FindIn<cl_SceneAsset>(&cl_PoolManager::GetScenePool, sceneId))
        scene->SetNavMesh(navmesh);
}

void cl_GameComponents::CmdSetLocalSurfaceId(cl_Command& cmd)
{
    const CommandArguments args = Arguments(cmd);
    const cl_SceneManager* scenes = cl_SceneManager::GetInstance();
    const cl_Scene* loaded = scenes ? scenes->GetLoadedScene() : nullptr;
    if (cl_Navmesh* navmesh = loaded ? loaded->FindNavmesh(args.String(0)) : nullptr)
        navmesh->SetLocalSurfaceId(args.Int(1), Ogre::Vector3(args.Float(2), args.Float(3), args.Float(4)),
                                   Ogre::Vector3(args.Float(5), args.Float(6), args.Float(7)));
}

void cl_GameComponents::CmdUseItem(cl_Command& cmd)
{
    SetSelectedItem(FindIn<cl_ItemAsset>(&cl_PoolManager::GetItemPool, Arguments(cmd).String(0)));
}

void cl_GameComponents::CmdStartDialog(cl_Command& cmd)
{
    SetMouseOverObject(nullptr);
    cl_CharacterAsset* character =
        FindIn<cl_CharacterAsset>(&cl_PoolManager::GetCharacterPool, Arguments(cmd).String(0));
    // At the top level a sub-dialog is the dialog itself.
    if (character)
        m_dialogSystem->StartSubDialog(character, nullptr);
}

void cl_GameComponents::CmdStartSubDialog(cl_Command& cmd)
{
    const CommandArguments args = Arguments(cmd);
    SetMouseOverObject(nullptr);
    cl_CharacterAsset* character =
        FindIn<cl_CharacterAsset>(&cl_PoolManager::GetCharacterPool, args.String(0));
    if (!character)
        return;
    const cl_AssetLogic* logic = character->GetLogic();
    const std::string topicId = logic ? logic->GetParam(args.String(1)) : std::string();
    m_dialogSystem->StartSubDialog(character, FindIn<cl_TopicAsset>(&cl_PoolManager::GetTopicPool, topicId));
}

void cl_GameComponents::CmdStartMinigame(cl_Command& cmd)
{
    const CommandArguments args = Arguments(cmd);
    cl_MinigameManager* minigames = cl_MinigameManager::GetInstance();
    if (!minigames)
        return;
    if (!args.Has(1))
    {
        minigames->StartMinigame(args.String(0), nullptr);
        return;
    }
    cl_AssetLogic* caller = FindLogic(args.String(0));
    const std::string name = caller ? caller->GetParam(args.String(1)) : std::string();
    if (!name.empty())
        minigames->StartMinigame(name, caller);
}

void cl_GameComponents::CmdStopMinigame(cl_Command&)
{
    if (cl_MinigameManager* minigames = cl_MinigameManager::GetInstance())
        minigames->StopMinigame();
}

void cl_GameComponents::CmdIsMinigameActive(cl_Command& cmd)
{
    const cl_MinigameManager* minigames = cl_MinigameManager::GetInstance();
    AddResult(cmd, minigames && minigames->GetCurrentMinigame());
}

void cl_GameComponents::CmdStartMovie(cl_Command&)
{
    // The only video the game shows.
    m_videoPlayer->Play("welk_teaser_high.ogv");
}

void cl_GameComponents::CmdStopMovie(cl_Command&)
{
    m_videoPlayer->Stop();
}

void cl_GameComponents::CmdUnlockChapter(cl_Command& cmd)
{
    if (TarqApp* application = Application())
        application->GetSaveGameManager().UnlockChapter(Arguments(cmd).String(0));
}

void cl_GameComponents::CmdStartChapter(cl_Command& cmd)
{
    cl_ScriptSystem* script = cl_ScriptSystem::GetInstance();
    RequestChapterStart(Arguments(cmd).String(0), script ? script->GetDifficulty() : 0);
}

void cl_GameComponents::CmdGameOver(cl_Command&)
{
    RequestGameOver();
}

void cl_GameComponents::CmdSetCurrentChapter(cl_Command& cmd)
{
    const std::string chapter = Arguments(cmd).String(0);
    LOG_INFO("Entering chapter/section '%s'", chapter.c_str());
    if (cl_GameState* gameState = cl_GameState::GetInstance())
        gameState->SetCurrentChapter(chapter);
}

void cl_GameComponents::CmdSetCurrentHint(cl_Command& cmd)
{
    const CommandArguments args = Arguments(cmd);
    if (cl_GameState* gameState = cl_GameState::GetInstance())
        gameState->SetCurrentHint(args.String(0), args.String(1));
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

void cl_GameComponents::CmdAddQuestText(cl_Command& cmd)
{
    const CommandArguments args = Arguments(cmd);
    const std::string textId = TextOfCaller(args.String(0), args.String(2));
    if (!textId.empty())
        m_questSystem->AddQuestText(args.String(1), textId);
}

void cl_GameComponents::CmdDeleteQuest(cl_Command& cmd)
{
    m_questSystem->DeleteQuest(Arguments(cmd).String(0));
}

void cl_GameComponents::CmdSetQuestSlotText(cl_Command& cmd)
{
    const CommandArguments args = Arguments(cmd);
    const std::string textId = TextOfCaller(args.String(0), args.String(3));
    if (!textId.empty())
        m_questSystem->SetQuestSlotText(args.String(1), args.String(2), textId, args.Bool(4));
}

void cl_GameComponents::CmdSetQuestTitle(cl_Command& cmd)
{
    const CommandArguments args = Arguments(cmd);
    const std::string textId = TextOfCaller(args.String(0), args.String(2));
    if (!textId.empty())
        m_questSystem->SetQuestTitle(args.String(1), textId);
}

void cl_GameComponents::CmdAddCharacterToParty(cl_Command& cmd)
{
    m_party->AddMember(Arguments(cmd).String(0));
}

void cl_GameComponents::CmdRemoveCharacterFromParty(cl_Command& cmd)
{
    m_party->RemoveMember(Arguments(cmd).String(0));
}

void cl_GameComponents::CmdSetPartyTag(cl_Command& cmd)
{
    const CommandArguments args = Arguments(cmd);
    m_party->SetMemberTag(args.String(0), args.String(1));
}
