#include "gamecomponents/cl_GameComponents.h"

#include "assets/cl_GameState.h"
#include "common/LogCall.h"
#include "common/cl_Command.h"
#include "common/cl_GameTime.h"
#include "gamecomponents/cl_DialogSystem.h"
#include "gamecomponents/cl_VideoPlayer.h"

namespace
{
const char* const TIME_GROUP = "gamecomponents";
} // namespace

cl_GameComponents::cl_GameComponents(cl_CommandDistributor& distributor)
    : cl_GameComponents(distributor, Components())
{
}

cl_GameComponents::cl_GameComponents(cl_CommandDistributor& distributor, Components components)
    : m_receiver(distributor, "game", this)
{
    // The inventory and the party come first, once they exist.
    m_sequencePlayer = components.sequencePlayer ? std::move(components.sequencePlayer)
                                                 : std::make_unique<cl_SequencePlayer>();
    m_dialogSystem =
        components.dialogSystem ? std::move(components.dialogSystem) : std::make_unique<cl_DialogSystem>();
    // The quest system and the save-game manager follow here, once they exist.
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
    // The save-game manager, the quest system, the inventory and the party go here, once they exist.
    m_dialogSystem.reset();
    m_sequencePlayer.reset();
}

void cl_GameComponents::SetMouseOverObject(cl_ItemAsset*) {}

void cl_GameComponents::SetMouseOverPortrait(cl_CharacterAsset*) {}

void cl_GameComponents::SetSelectedItem(cl_ItemAsset*) {}

void cl_GameComponents::UpdateMouseOverText() {}

bool cl_GameComponents::CanInteract() const
{
    return true;
}

void cl_GameComponents::SetCurrentCharacter(const std::string&) {}

void cl_GameComponents::OnCharacterDeleted(const cl_Character&) {}

bool cl_GameComponents::Interact()
{
    return false;
}

void cl_GameComponents::Examine() {}

void cl_GameComponents::RequestChapterStart(const std::string& chapterId, int32_t difficulty)
{
    m_requestedChapter = chapterId;
    m_requestedDifficulty = difficulty;
}

void cl_GameComponents::Update(float) {}

void cl_GameComponents::Reset() {}

bool cl_GameComponents::ExecuteCmd(cl_Command& cmd)
{
    LOG_WARNING("Received unknown Cmd '%s'!", cmd.m_name.c_str());
    return false;
}

void cl_GameComponents::NotifyGameStateCleared() {}

void cl_GameComponents::NotifyChapterChanged() {}

void cl_GameComponents::NotifyGameStateLoading() {}

void cl_GameComponents::NotifyGameStateLoaded(cl_GameState*) {}

void cl_GameComponents::NotifyGameStateSaving(cl_GameState*) {}

void cl_GameComponents::OnSequenceStarted(cl_SequenceAsset*, int) {}

void cl_GameComponents::OnSequenceUninterruptible(cl_SequenceAsset*) {}

void cl_GameComponents::OnSequenceAborted(cl_SequenceAsset*) {}

void cl_GameComponents::OnSequenceFinished(cl_SequenceAsset*) {}

void cl_GameComponents::ClearMouseOverObject() {}

bool cl_GameComponents::ChooseHoveredDialogEntry()
{
    return false;
}
