#include "gamecomponents/cl_SaveGameManager.h"

#include "TarqApp.h"
#include "assets/cl_GameState.h"
#include "assets/cl_PoolManager.h"
#include "assets/cl_ScenePool.h"
#include "common/FileHelpers.h"
#include "common/LogCall.h"
#include "common/SafeFileWrite.h"
#include "common/StringHelpers.h"
#include "common/XmlParse.h"
#include "common/cl_Config.h"
#include "common/cl_GameTime.h"
#include "common/cl_Localizer.h"
#include "common/cl_ScriptSystem.h"
#include "common/cl_TarqdataLoader.h"
#include "gamecomponents/SaveGameFile.h"
#include "gamecomponents/cl_DialogSystem.h"
#include "gamecomponents/cl_GameComponents.h"
#include "gamecomponents/cl_VideoPlayer.h"
#include "graphics/cl_SceneManager.h"
#include "gui/cl_GUISystem.h"
#include "minigames/cl_MinigameManager.h"
#include "sound/cl_Sound.h"
#include "sound/cl_SoundMixer.h"

#include <OgreLogManager.h>
#include <OgreString.h>
#include <boost/filesystem/operations.hpp>
#include <tinyxml.h>

#include <algorithm>
#include <cstdlib>

namespace
{
const char* const SAVE_EXTENSION = ".tsg";
const char* const QUICKSAVE_FILE = "_system.tsg";
const char* const AUTOSAVE_FILE = "_autosave.tsg";
// The autosave timer waits this long (played seconds) after the game became saveable.
const int32_t QUIET_SECONDS = 3;
const int32_t MINIMUM_AUTOSAVE_INTERVAL = 10;

TarqApp* Application()
{
    return dynamic_cast<TarqApp*>(BaseApplication::GetInstance());
}

void SetMode(int mode)
{
    if (TarqApp* application = Application())
        application->SetMode(mode);
}

std::string CurrentChapterId()
{
    const cl_TarqdataLoader* loader = cl_TarqdataLoader::GetInstance();
    return loader ? loader->GetCurrentChapterId() : std::string();
}

int32_t PlayedSeconds()
{
    const cl_GameTime* gameTime = cl_GameTime::GetInstance();
    return gameTime ? static_cast<int32_t>(gameTime->GetPlayedTime()) : 0;
}

void SetPlayedSeconds(int32_t seconds)
{
    if (cl_GameTime* gameTime = cl_GameTime::GetInstance())
        gameTime->SetPlayedTime(static_cast<float>(seconds));
}

void ClearLogRecord()
{
    if (cl_Logger* logger = cl_Logger::GetInstance())
        logger->ClearRecord();
}

std::string GetSetting(const std::string& key)
{
    const cl_Config* config = cl_Config::GetInstance();
    return config ? config->GetValue(key) : std::string();
}

bool SamePath(const std::string& first, const std::string& second)
{
    return Ogre::StringUtil::standardisePath(first) == Ogre::StringUtil::standardisePath(second);
}

// A save killed while it was written leaves its temporary file, which no save reads: removed here.
void RemoveUnfinishedSaves(const std::string& folder)
{
    const std::string leftover = std::string(SAVE_EXTENSION) + TEMPORARY_SUFFIX;
    std::vector<std::string> files;
    ListFilesRecursive(files, folder, TEMPORARY_SUFFIX);
    for (const std::string& file : files)
    {
        boost::system::error_code error;
        if (file.size() < leftover.size() ||
            file.compare(file.size() - leftover.size(), leftover.size(), leftover) != 0 ||
            !boost::filesystem::is_regular_file(file, error))
            continue;
        if (boost::filesystem::remove(file, error))
            LOG_WARNING("Removed %s, left by a save that did not finish", file.c_str());
        else
            LOG_ERROR("Couldn't remove %s, left by a save that did not finish: %s", file.c_str(),
                      error.message().c_str());
    }
}

// Newest first; saves of the same second keep their order.
bool Newer(const SaveEntry& first, const SaveEntry& second)
{
    return first.date.time > second.date.time;
}
} // namespace

cl_SaveGameManager::cl_SaveGameManager()
{
    ResetSlots();
}

cl_SaveGameManager::~cl_SaveGameManager()
{
    if (cl_GameTime* gameTime = cl_GameTime::GetInstance())
        gameTime->RemoveListener(this);
}

std::string cl_SaveGameManager::SaveFolder() const
{
    const cl_Config* config = cl_Config::GetInstance();
    return config ? config->GetUserFolder("savegames") : std::string();
}

void cl_SaveGameManager::ResetSlots()
{
    const std::string folder = SaveFolder();
    m_quicksave = SaveEntry();
    m_quicksave.name = "Quicksave";
    m_quicksave.file = folder + QUICKSAVE_FILE;
    m_autosave = SaveEntry();
    m_autosave.name = "Autosave";
    m_autosave.file = folder + AUTOSAVE_FILE;
}

void cl_SaveGameManager::SortEntries()
{
    std::stable_sort(m_entries.begin(), m_entries.end(), Newer);
}

// ---------------------------------------------------------------------------------------------------
// Listing

void cl_SaveGameManager::ScanSaveGames()
{
    m_entries.clear();
    ResetSlots();
    RemoveUnfinishedSaves(SaveFolder());
    std::vector<std::string> files;
    ListFilesRecursive(files, SaveFolder(), SAVE_EXTENSION);
    for (const std::string& file : files)
    {
        SaveEntry entry;
        TiXmlDocument document;
        if (const TiXmlElement* savegame = SaveGameFile::Load(document, file))
            SaveGameFile::ReadHeader(*savegame, file, entry);
        else
            entry.file = file;

        if (SamePath(file, m_quicksave.file))
            m_quicksave = entry;
        else if (SamePath(file, m_autosave.file))
            m_autosave = entry;
        else
            m_entries.push_back(entry);
    }
    SortEntries();
    if (cl_GameTime* gameTime = cl_GameTime::GetInstance())
        gameTime->AddListener(this, "gamecomponents", 0);
}

std::string cl_SaveGameManager::NewSaveFileName() const
{
    const std::string folder = SaveFolder();
    std::vector<std::string> files;
    ListFilesRecursive(files, folder, SAVE_EXTENSION);
    for (int number = 0;; ++number)
    {
        const std::string candidate = folder + Format("savegame%i.tsg", number);
        if (std::none_of(files.begin(), files.end(),
                         [&](const std::string& file) { return SamePath(file, candidate); }))
            return candidate;
    }
}

// ---------------------------------------------------------------------------------------------------
// Saving

bool cl_SaveGameManager::WriteEntry(SaveEntry& entry)
{
    cl_GameState* gameState = cl_GameState::GetInstance();
    if (!gameState || !gameState->GetRoot())
    {
        LOG_ERROR("There is no running game to save into %s", entry.file.c_str());
        return false;
    }
    SaveEntry written = entry;
    written.chapter = CurrentChapterId();
    written.section = gameState->GetCurrentChapter();
    written.played = PlayedSeconds();
    // Also when the write fails: the autosave timer then tries again after its interval, not every frame.
    m_playedAtLastSave = written.played;
    written.date = platform::LocalTime();
    if (const cl_GameTime* gameTime = cl_GameTime::GetInstance())
        gameTime->GetLocalTime(written.date);

    gameState->NotifySaving();
    written.difficulty = SaveGameFile::ReadDifficulty(*gameState->GetRoot());
    if (!WriteFileSafely(written.file, SaveGameFile::Write(written, *gameState->GetRoot())))
        return false;
    ClearLogRecord();
    entry = written;
    m_current = written;
    return true;
}

bool cl_SaveGameManager::Quicksave()
{
    return !CurrentChapterId().empty() && WriteEntry(m_quicksave);
}

bool cl_SaveGameManager::Autosave()
{
    if (CurrentChapterId().empty() || !WriteEntry(m_autosave))
        return false;
    const auto found =
        std::find_if(m_entries.begin(), m_entries.end(),
                     [this](const SaveEntry& entry) { return SamePath(entry.file, m_autosave.file); });
    if (found != m_entries.end())
        *found = m_autosave;
    else
        m_entries.push_back(m_autosave);
    SortEntries();
    return true;
}

bool cl_SaveGameManager::SaveToSlot(int index, const std::string& name)
{
    if (index < 0 || static_cast<size_t>(index) >= m_entries.size())
        index = -1;
    SaveEntry entry;
    entry.name = name;
    entry.file = index != -1 ? m_entries[static_cast<size_t>(index)].file : NewSaveFileName();
    if (!WriteEntry(entry))
        return false;
    if (index != -1)
        m_entries[static_cast<size_t>(index)] = entry;
    else
        m_entries.push_back(entry);
    SortEntries();
    return true;
}

// ---------------------------------------------------------------------------------------------------
// Loading and starting

bool cl_SaveGameManager::LoadEntry(const SaveEntry& entry)
{
    if (Ogre::LogManager* ogreLog = Ogre::LogManager::getSingletonPtr())
        ogreLog->logMessage("LoadEntry");
    // The entry may be one of ours, which the load must not change under its feet.
    const SaveEntry loaded = entry;
    m_failure.clear();
    // A file the scan could not read has no name of its own.
    const std::string name =
        loaded.name.empty() ? boost::filesystem::path(loaded.file).filename().string() : loaded.name;
    auto document = std::make_unique<TiXmlDocument>();
    TiXmlElement* savegame = SaveGameFile::Load(*document, loaded.file);
    if (!savegame || !SaveGameFile::CanLoad(*savegame, loaded.file))
    {
        m_failure = Format("The save game '%s' cannot be read.", name.c_str());
        return false;
    }
    SaveGameFile::Convert(*savegame);
    ClearLogRecord();
    TiXmlElement& gamestate = *savegame->FirstChildElement("gamestate");
    if (!ApplyGameState(loaded.chapter, std::move(document), gamestate))
    {
        m_failure = Format("The save game '%s' belongs to the chapter '%s', which does not exist.",
                           name.c_str(), loaded.chapter.c_str());
        return false;
    }
    SetPlayedSeconds(loaded.played);
    m_playedAtLastSave = loaded.played;
    m_current = loaded;
    return true;
}

bool cl_SaveGameManager::LoadAutosave()
{
    if (HasAutosave())
        return LoadEntry(m_autosave);
    m_failure.clear();
    return false;
}

bool cl_SaveGameManager::ApplyGameState(const std::string& chapterId, std::unique_ptr<TiXmlDocument> document,
                                        TiXmlElement& gamestate)
{
    if (cl_Sound* sound = cl_Sound::GetInstance())
        sound->GetMixer().PlayMusic("", 0.0f, true, false);
    SetMode(TarqApp::MODE_LOADING);
    const cl_TarqdataLoader* loader = cl_TarqdataLoader::GetInstance();
    if (!loader || !loader->HasChapter(chapterId))
    {
        LOG_ERROR("The save game belongs to the chapter '%s', which does not exist", chapterId.c_str());
        // The old game is still there; the main menu can go back to it.
        SetMode(TarqApp::MODE_MAINMENU);
        return false;
    }
    SwitchToChapter(chapterId);
    cl_GameState* gameState = cl_GameState::GetInstance();
    if (gameState)
        gameState->AdoptTree(std::move(document), gamestate);
    SetMode(TarqApp::MODE_INGAME);
    if (gameState)
        ShowScene(gameState->GetCurrentSceneId(), gameState->GetCurrentBackdrop(), false);
    return true;
}

void cl_SaveGameManager::SwitchToChapter(const std::string& chapterId)
{
    cl_TarqdataLoader* loader = cl_TarqdataLoader::GetInstance();
    if (!loader || chapterId == loader->GetCurrentChapterId())
        return;
    loader->UnloadChapter(loader->GetCurrentChapterId());
    loader->SetCurrentChapterId(chapterId);
    if (cl_GameState* gameState = cl_GameState::GetInstance())
        gameState->Clear();
    loader->LoadChapter(chapterId);
}

void cl_SaveGameManager::ShowScene(const std::string& sceneId, const std::string& backdrop, bool sendEvents)
{
    cl_SceneManager* scenes = cl_SceneManager::GetInstance();
    if (!scenes)
        return;
    // What an earlier game left pending would keep this one from being played and saved.
    scenes->SetChangePending(false);
    scenes->SetCharacterSwitchPending(false);
    scenes->SetInteractionBlocked(false);
    if (cl_Curtain* curtain = scenes->GetCurtain())
        curtain->FadeToBlack(0.0f);
    scenes->SetTargetScene(sceneId);
    scenes->SetChangePending(true);
    scenes->SwitchScene(sceneId, backdrop, sendEvents, false);
}

bool cl_SaveGameManager::NewGame(const std::string& chapterId, int difficulty)
{
    const bool started =
        chapterId.empty() ? StartChapter("chapter1", 0) : StartChapter(chapterId, difficulty);
    SetPlayedSeconds(0);
    // The last save belongs to the old game: measured against it, the timer would wait out its played time.
    m_playedAtLastSave = 0;
    return started;
}

bool cl_SaveGameManager::StartChapter(const std::string& chapterId, int difficulty)
{
    m_failure.clear();
    cl_TarqdataLoader* loader = cl_TarqdataLoader::GetInstance();
    if (!loader || !loader->HasChapter(chapterId))
    {
        LOG_ERROR("There is no chapter '%s' to start", chapterId.c_str());
        m_failure = Format("There is no chapter '%s'.", chapterId.c_str());
        return false;
    }
    SwitchToChapter(chapterId);

    const std::string file = loader->GetChapterDataFile(chapterId) + "/gamestate.xml";
    TiXmlDocument document;
    const TiXmlElement* gamestate = nullptr;
    // What is wrong with the file, as the player is told.
    std::string problem;
    if (!LoadXmlFile(document, file))
    {
        LOG_ERROR("Couldn't read the new game of the chapter '%s' from %s", chapterId.c_str(), file.c_str());
        problem = "cannot be read";
    }
    else if (document.Error())
    {
        LOG_ERROR("A parse error occured in %s in row %i col %i: %s", file.c_str(), document.ErrorRow(),
                  document.ErrorCol(), document.ErrorDesc());
        problem = document.ErrorId() == TiXmlBase::TIXML_ERROR_DOCUMENT_EMPTY ? "is empty" : "is damaged";
    }
    else if (!(gamestate = document.FirstChildElement("gamestate")))
    {
        LOG_ERROR("%s has no element 'gamestate'", file.c_str());
        problem = "has no element 'gamestate'";
    }
    if (!problem.empty())
        m_failure = Format("The chapter '%s' cannot start: its gamestate.xml %s.", chapterId.c_str(),
                           problem.c_str());
    cl_GameState* gameState = cl_GameState::GetInstance();
    if (!gamestate || !gameState)
        return false;
    gameState->ReplaceTree(*gamestate);

    if (cl_ScriptSystem* scripts = cl_ScriptSystem::GetInstance())
        scripts->ExecuteString(Format("_globals.difficulty =  %i", difficulty));
    const std::string startScene = loader->GetStartScene(chapterId);
    const cl_PoolManager* pools = cl_PoolManager::GetInstance();
    if (pools && !pools->GetScenePool()->FindAsset(startScene))
        LOG_ERROR("The chapter '%s' starts in the scene '%s', which is no scene of the chapter",
                  chapterId.c_str(), startScene.c_str());
    ShowScene(startScene, "default", true);
    // The held item goes with the game-components hub, which lets go of it when a chapter starts.
    if (cl_GUISystem* gui = cl_GUISystem::GetInstance())
        gui->GetIngameMenu().Reset();
    ClearLogRecord();
    m_current = SaveEntry();
    m_current.chapter = chapterId;
    return true;
}

// ---------------------------------------------------------------------------------------------------
// Chapters

void cl_SaveGameManager::UnlockChapter(const std::string& chapterId)
{
    cl_Config* config = cl_Config::GetInstance();
    if (!config)
        return;
    config->SetValue("unlocked_" + chapterId, "true");
    config->Save();
}

void cl_SaveGameManager::GetUnlockedChapters(std::vector<UnlockedChapter>& chapters) const
{
    const cl_TarqdataLoader* loader = cl_TarqdataLoader::GetInstance();
    if (!loader)
        return;
    const cl_Localizer* localizer = cl_Localizer::GetInstance();
    const bool all = GetSetting("unlocked_all") == "true";
    std::vector<std::string> ids;
    loader->GetChapterIds(ids);
    for (const std::string& id : ids)
    {
        if (!all && GetSetting("unlocked_" + id) != "true")
            continue;
        const std::string& title = loader->GetChapter(id).m_title;
        chapters.push_back(UnlockedChapter{id, localizer ? localizer->FindToken(title) : title, true});
    }
}

// ---------------------------------------------------------------------------------------------------
// Autosave timer

void cl_SaveGameManager::Update(float /*dt*/)
{
    const std::string setting = GetSetting("autosave");
    if (setting.empty())
        return;
    const int32_t interval = std::atoi(setting.c_str());
    if (interval < MINIMUM_AUTOSAVE_INTERVAL)
        return;
    const int32_t now = PlayedSeconds();
    if (!IsSaveable())
        m_quietSince = -1;
    else if (m_quietSince < 0)
        m_quietSince = now;
    // Quiet since second 0 counts too: -1 alone means "not saveable".
    if (now - m_playedAtLastSave > interval && m_quietSince >= 0 && now - m_quietSince > QUIET_SECONDS)
        Autosave();
}

bool cl_SaveGameManager::IsSaveable() const
{
    const TarqApp* application = Application();
    if (!application || application->GetMode() != TarqApp::MODE_INGAME)
        return false;
    const cl_SceneManager* scenes = cl_SceneManager::GetInstance();
    if (!scenes || !scenes->HasLoadedScene() || scenes->IsBusy())
        return false;
    const cl_MinigameManager* minigames = cl_MinigameManager::GetInstance();
    if (minigames && minigames->GetCurrentMinigame())
        return false;
    // A scripted scene that may not be interrupted would be cut off when the save is loaded.
    const cl_GameComponents* hub = cl_GameComponents::GetInstance();
    if (hub && !hub->GetSequencePlayer().IsForegroundInterruptible())
        return false;
    // A video would not be playing after a load.
    if (hub && hub->GetVideoPlayer().IsPlaying())
        return false;
    // A dialog's partner, a question's answers and a closing dialog's focus are not saved.
    return !hub || !hub->GetDialogSystem().IsDialogActive();
}
