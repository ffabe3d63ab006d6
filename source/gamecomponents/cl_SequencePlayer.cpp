#include "gamecomponents/cl_SequencePlayer.h"

bool cl_SequencePlayer::IsForegroundPlaying() const
{
    return false;
}

bool cl_SequencePlayer::IsForegroundInterruptible() const
{
    return true;
}

void cl_SequencePlayer::RequestAbortForeground() {}

void cl_SequencePlayer::SkipForeground() {}

void cl_SequencePlayer::UpdateLayer(int) {}

void cl_SequencePlayer::AbortAll() {}

void cl_SequencePlayer::VisualizeInteraction(cl_ItemAsset*, cl_ItemAsset*) {}

void cl_SequencePlayer::Examine(cl_ItemAsset*) {}

void cl_SequencePlayer::PlaySequence(cl_SequenceAsset*, int, bool) {}

void cl_SequencePlayer::EnqueueSequence(cl_SequenceAsset*, int, bool) {}

void cl_SequencePlayer::AbortSequence(int) {}

cl_SequenceAsset* cl_SequencePlayer::GetFrontSequence(int) const
{
    return nullptr;
}
