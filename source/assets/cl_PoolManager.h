#pragma once

#include "ISingleton.h"
#include "assets/IGameStateListener.h"
#include "assets/cl_GameState.h"
#include "common/ICommandReceiver.h"
#include "common/IGameTimeListener.h"
#include "common/cl_Argument.h"
#include "common/cl_ReceiverRegistration.h"

#include <memory>
#include <string>
#include <vector>

class cl_Asset;
class cl_AssetPool;
class cl_CharacterPool;
class cl_Command;
class cl_CommandDistributor;
class cl_CutscenePool;
class cl_ItemPool;
class cl_MinigamePool;
class cl_ScenePool;
class cl_SequencePool;
class cl_SpokentextPool;
class cl_TaskPool;
class cl_TextPool;
class cl_TopicPool;

// An event waiting to be sent to an asset after its delay.
struct DelayedEvent
{
    std::string receiver; // id of the receiving asset
    std::string event;
    cl_Argument data;
    float delay; // seconds of "default" game time left
};

// Owns the ten asset pools, finds assets across them, delivers event strings to asset logics at once or
// after a delay of "default" game time, and keeps the pools' share of the game state: the logics' states
// and the pending delayed events.
//
// It must be created after the game time and the game state and destroyed before them; it registers
// with both. The state-chart system must outlive it. It is the command receiver "poolmanager".
class cl_PoolManager : public IGameStateListener,
                       public IGameTimeListener,
                       public IPoolReloader,
                       public ICommandReceiver,
                       public ISingleton<cl_PoolManager>
{
public:
    // Registers as the receiver "poolmanager" with distributor, which must outlive it.
    explicit cl_PoolManager(cl_CommandDistributor& distributor);
    ~cl_PoolManager() override;

    // The tree is gone: every asset lets go of its state element.
    void NotifyGameStateCleared() override;
    void NotifyChapterChanged() override;
    void NotifyGameStateLoading() override;
    // Takes the pending delayed events out of the tree (replacing those pending), stops every logic,
    // restores the Lua globals, then binds, restores and starts every asset ("game.Started"), each step
    // over all pools before the next begins.
    void NotifyGameStateLoaded(cl_GameState* gameState) override;
    // Writes the pending delayed events, every asset's state and the Lua globals into the tree.
    void NotifyGameStateSaving(cl_GameState* gameState) override;

    // Counts the delayed events down by dt and sends those that are due. dt of 0 or less (a paused
    // "default" time) changes nothing.
    void Update(float dt) override;

    // Deletes every asset, then loads each pool from chapterFolder and then from commonFolder, telling
    // progress (may be null) of the ten pools.
    void ReloadPools(const std::string& chapterFolder, const std::string& commonFolder,
                     ILoadingProgress* progress) override;

    // The asset with the id, searched in the pools characters, cutscenes, minigames, sequences,
    // spokentexts, tasks, topics, texts, items, scenes in this order; null when none has it.
    cl_Asset* FindAsset(const std::string& id) const;
    // The character with the id, else the item with it, else null.
    cl_Asset* FindItemOrCharacter(const std::string& id) const;
    // Appends the ids of the assets that have every one of the tags (split as cl_Asset::SplitTags
    // does), pool by pool in creation order, ids ascending within a pool. An empty text gives none.
    void GetTaggedAssets(const std::string& tags, std::vector<std::string>& ids) const;

    // The pools, in creation order: items, texts, scenes, topics, characters, cutscenes, minigames,
    // sequences, spokentexts, tasks.
    const std::vector<cl_AssetPool*>& GetPools() const { return m_pools; }
    cl_ItemPool* GetItemPool() const { return m_itemPool.get(); }
    cl_TextPool* GetTextPool() const { return m_textPool.get(); }
    cl_ScenePool* GetScenePool() const { return m_scenePool.get(); }
    cl_TopicPool* GetTopicPool() const { return m_topicPool.get(); }
    cl_CharacterPool* GetCharacterPool() const { return m_characterPool.get(); }
    cl_CutscenePool* GetCutscenePool() const { return m_cutscenePool.get(); }
    cl_MinigamePool* GetMinigamePool() const { return m_minigamePool.get(); }
    cl_SequencePool* GetSequencePool() const { return m_sequencePool.get(); }
    cl_SpokentextPool* GetSpokentextPool() const { return m_spokentextPool.get(); }
    cl_TaskPool* GetTaskPool() const { return m_taskPool.get(); }

    // Sends the event to the asset's logic: with a delay above 0, as a delayed event; else at once, the
    // chart processing it to completion before this returns. The logic takes its own copy of data.
    // A null asset, or one without a logic, drops the event silently.
    void SendToAsset(cl_Asset* asset, const std::string& event, const cl_Argument& data, float delay);
    // With a delay above 0, queues a copy of the event behind those pending; else finds the asset and sends
    // at once. An id that names no asset drops the event silently (also when it falls due).
    void SendToAssetDelayed(const std::string& id, const std::string& event, const cl_Argument& data,
                            float delay);
    // As SendToAssetDelayed, after removing the pending events of this receiver and event name: at most
    // one stays pending, and a new one restarts the delay.
    void SendToAssetDelayedOnce(const std::string& id, const std::string& event, const cl_Argument& data,
                                float delay);
    // Drops every pending event whose receiver and event name are exactly these.
    void RemoveDelayedEvents(const std::string& id, const std::string& event);

    // The receiver "poolmanager", the way state-chart scripts reach assets: its commands, the arguments
    // each reads and what it answers are the table COMMANDS in cl_PoolManager.cpp. Arguments are read as
    // CommandArguments says: a command missing a required argument is refused with a warning (false);
    // otherwise it runs and answers true. An unknown name is logged and answers false.
    bool ExecuteCmd(cl_Command& cmd) override;

private:
    // Empties the delayed-event list; an update walking it stops.
    void ClearDelayedEvents();
    void ReadDelayedEvents(TiXmlElement& root);
    void WriteDelayedEvents(TiXmlElement& root) const;

    std::unique_ptr<cl_ItemPool> m_itemPool;
    std::unique_ptr<cl_TextPool> m_textPool;
    std::unique_ptr<cl_ScenePool> m_scenePool;
    std::unique_ptr<cl_TopicPool> m_topicPool;
    std::unique_ptr<cl_CharacterPool> m_characterPool;
    std::unique_ptr<cl_CutscenePool> m_cutscenePool;
    std::unique_ptr<cl_MinigamePool> m_minigamePool;
    std::unique_ptr<cl_SequencePool> m_sequencePool;
    std::unique_ptr<cl_SpokentextPool> m_spokentextPool;
    std::unique_ptr<cl_TaskPool> m_taskPool;
    std::vector<cl_AssetPool*> m_pools;
    std::vector<DelayedEvent> m_delayedEvents;
    // The place of the next record while Update walks the list; records removed in front of it move it.
    size_t m_walkIndex = 0;
    bool m_walking = false;
    cl_ReceiverRegistration m_receiver;
};
