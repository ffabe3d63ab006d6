#pragma once

class cl_GameState;

// A part of the system that keeps state of its own beside the game-state tree. Listeners append themselves
// to the game state's list when created and remove themselves when destroyed; they are told in that order.
class IGameStateListener
{
public:
    virtual ~IGameStateListener() = default;

    // The tree was deleted: drop every pointer into it.
    virtual void NotifyGameStateCleared() = 0;
    // Another chapter's pools are going to be loaded.
    virtual void NotifyChapterChanged() = 0;
    // A new tree is in place; drop what was taken from the old one, which still lives until every listener
    // has been told Loaded.
    virtual void NotifyGameStateLoading() = 0;
    // Restore from the new tree. Every listener has been told Loading before any is told this.
    virtual void NotifyGameStateLoaded(cl_GameState* gameState) = 0;
    // Write what is kept outside the tree into it; a save follows.
    virtual void NotifyGameStateSaving(cl_GameState* gameState) = 0;
};
