#include "assets/cl_PoolManager.h"

#include "assets/cl_Asset.h"
#include "assets/cl_AssetLogic.h"
#include "assets/cl_AssetPool.h"
#include "assets/cl_CharacterPool.h"
#include "assets/cl_CutscenePool.h"
#include "assets/cl_ItemPool.h"
#include "assets/cl_MinigamePool.h"
#include "assets/cl_ScenePool.h"
#include "assets/cl_SequencePool.h"
#include "assets/cl_SpokentextPool.h"
#include "assets/cl_TaskPool.h"
#include "assets/cl_TextPool.h"
#include "assets/cl_TopicPool.h"
#include "common/ArgumentXml.h"
#include "common/StringHelpers.h"
#include "common/cl_GameTime.h"
#include "common/cl_ScriptSystem.h"
#include "gui/ILoadingProgress.h"
#include "statechart/cl_SCLuaDataBinding.h"
#include "statechart/cl_StateChartSystem.h"

#include <tinyxml.h>

#include <cstdio>
#include <initializer_list>
#include <limits>

namespace
{
const char* const DELAYED_EVENT = "delayedevent";

void SetBindingDisabled(bool disabled)
{
    if (const cl_StateChartSystem* system = cl_StateChartSystem::GetInstance())
        system->GetDataBinding()->SetDisabled(disabled);
}

// While it lives the charts' data binding evaluates no condition and runs no script, so charts that are
// stopped or deleted meanwhile run no exit content.
class BindingPause
{
public:
    BindingPause() { SetBindingDisabled(true); }
    ~BindingPause() { SetBindingDisabled(false); }
    BindingPause(const BindingPause&) = delete;
    BindingPause& operator=(const BindingPause&) = delete;
};

std::string Attribute(const TiXmlElement& element, const char* name)
{
    const char* value = element.Attribute(name);
    return value ? value : std::string();
}
} // namespace

cl_PoolManager::cl_PoolManager()
    : m_itemPool(std::make_unique<cl_ItemPool>()),
      m_textPool(std::make_unique<cl_TextPool>()),
      m_scenePool(std::make_unique<cl_ScenePool>()),
      m_topicPool(std::make_unique<cl_TopicPool>()),
      m_characterPool(std::make_unique<cl_CharacterPool>()),
      m_cutscenePool(std::make_unique<cl_CutscenePool>()),
      m_minigamePool(std::make_unique<cl_MinigamePool>()),
      m_sequencePool(std::make_unique<cl_SequencePool>()),
      m_spokentextPool(std::make_unique<cl_SpokentextPool>()),
      m_taskPool(std::make_unique<cl_TaskPool>()),
      m_pools{m_itemPool.get(),     m_textPool.get(),     m_scenePool.get(),    m_topicPool.get(),
              m_characterPool.get(), m_cutscenePool.get(), m_minigamePool.get(), m_sequencePool.get(),
              m_spokentextPool.get(), m_taskPool.get()}
{
    if (cl_GameState* gameState = cl_GameState::GetInstance())
    {
        gameState->AddListener(this);
        gameState->SetPoolReloader(this);
    }
    if (cl_GameTime* gameTime = cl_GameTime::GetInstance())
        gameTime->AddListener(this, "default", 0);
}

cl_PoolManager::~cl_PoolManager()
{
    if (cl_GameTime* gameTime = cl_GameTime::GetInstance())
        gameTime->RemoveListener(this);
    if (cl_GameState* gameState = cl_GameState::GetInstance())
    {
        gameState->SetPoolReloader(nullptr);
        gameState->RemoveListener(this);
    }
    {
        const BindingPause pause;
        m_characterPool.reset();
        m_cutscenePool.reset();
        m_minigamePool.reset();
        m_sequencePool.reset();
        m_spokentextPool.reset();
        m_taskPool.reset();
        m_topicPool.reset();
        m_textPool.reset();
        m_itemPool.reset();
        m_scenePool.reset();
    }
    m_pools.clear();
    ClearDelayedEvents();
}

void cl_PoolManager::NotifyGameStateCleared()
{
    // The assets hold elements of the deleted tree.
    for (cl_AssetPool* pool : m_pools)
        pool->BindStates(nullptr);
}

void cl_PoolManager::NotifyChapterChanged() {}

void cl_PoolManager::NotifyGameStateLoading() {}

void cl_PoolManager::NotifyGameStateLoaded(cl_GameState* gameState)
{
    {
        const BindingPause pause;
        ClearDelayedEvents();
        if (TiXmlElement* root = gameState->GetRoot())
            ReadDelayedEvents(*root);
        for (cl_AssetPool* pool : m_pools)
            pool->StopLogics();
    }
    cl_ScriptSystem* script = cl_ScriptSystem::GetInstance();
    const TiXmlElement* dataBinding = gameState->GetDataBindingState();
    if (script && dataBinding)
        script->GlobalsFromXml(*dataBinding);
    for (cl_AssetPool* pool : m_pools)
        pool->BindStates(gameState);
    for (cl_AssetPool* pool : m_pools)
        pool->RestoreStates();
    for (cl_AssetPool* pool : m_pools)
        pool->SendGameStarted();
}

void cl_PoolManager::NotifyGameStateSaving(cl_GameState* gameState)
{
    if (TiXmlElement* root = gameState->GetRoot())
        WriteDelayedEvents(*root);
    for (cl_AssetPool* pool : m_pools)
        pool->SaveStates(gameState);
    cl_SCLuaDataBinding::SaveGlobals();
}

void cl_PoolManager::ReadDelayedEvents(TiXmlElement& root)
{
    while (TiXmlElement* element = root.FirstChildElement(DELAYED_EVENT))
    {
        DelayedEvent record{Attribute(*element, "receiver"), Attribute(*element, "eventstring"), cl_Argument(),
                            0.0f};
        ArgumentXml::Read(*element, "eventdatatype", "eventdata", record.data);
        double delay = 0.0;
        if (const char* delayText = element->Attribute("delay"))
        {
            if (std::sscanf(delayText, "%lf", &delay) != 1)
                delay = 0.0;
        }
        record.delay = static_cast<float>(delay);
        m_delayedEvents.push_back(std::move(record));
        root.RemoveChild(element);
    }
}

void cl_PoolManager::WriteDelayedEvents(TiXmlElement& root) const
{
    while (TiXmlElement* element = root.FirstChildElement(DELAYED_EVENT))
        root.RemoveChild(element);
    for (const DelayedEvent& record : m_delayedEvents)
    {
        auto* element = new TiXmlElement(DELAYED_EVENT);
        element->SetAttribute("receiver", record.receiver);
        element->SetAttribute("eventstring", record.event);
        ArgumentXml::Write(*element, record.data, "eventdatatype", "eventdata");
        element->SetAttribute("delay", Format("%f", record.delay));
        root.LinkEndChild(element);
    }
}

void cl_PoolManager::Update(float dt)
{
    if (dt <= 0.0f || m_walking)
        return;
    m_walking = true;
    m_walkIndex = 0;
    while (m_walkIndex < m_delayedEvents.size())
    {
        DelayedEvent& record = m_delayedEvents[m_walkIndex];
        record.delay -= dt;
        if (record.delay > 0.0f)
        {
            ++m_walkIndex;
            continue;
        }
        // Out of the list while it is sent: a handler that queues the same event again leaves exactly
        // its new record pending.
        const DelayedEvent due = std::move(record);
        m_delayedEvents.erase(m_delayedEvents.begin() + static_cast<std::ptrdiff_t>(m_walkIndex));
        SendToAssetDelayed(due.receiver, due.event, due.data, 0.0f);
    }
    m_walking = false;
}

void cl_PoolManager::ReloadPools(const std::string& chapterFolder, const std::string& commonFolder,
                                 ILoadingProgress* progress)
{
    {
        const BindingPause pause;
        for (cl_AssetPool* pool : m_pools)
            pool->DeleteAssets();
    }
    if (progress)
        progress->OnDataLoadStarted(static_cast<int>(m_pools.size()));
    for (cl_AssetPool* pool : m_pools)
    {
        pool->LoadAssets(chapterFolder);
        pool->LoadAssets(commonFolder);
        if (progress)
            progress->OnDataLoaded();
    }
    if (progress)
        progress->OnDataLoadEnded();
}

cl_Asset* cl_PoolManager::FindAsset(const std::string& id) const
{
    for (const cl_AssetPool* pool : std::initializer_list<const cl_AssetPool*>{
             m_characterPool.get(), m_cutscenePool.get(), m_minigamePool.get(), m_sequencePool.get(),
             m_spokentextPool.get(), m_taskPool.get(), m_topicPool.get(), m_textPool.get(), m_itemPool.get(),
             m_scenePool.get()})
    {
        if (cl_Asset* asset = pool->FindAsset(id))
            return asset;
    }
    return nullptr;
}

cl_Asset* cl_PoolManager::FindItemOrCharacter(const std::string& id) const
{
    if (cl_Asset* character = m_characterPool->FindAsset(id))
        return character;
    return m_itemPool->FindAsset(id);
}

void cl_PoolManager::GetTaggedAssets(const std::string& tags, std::vector<std::string>& ids) const
{
    const std::vector<std::string> tagList = cl_Asset::SplitTags(tags);
    if (tagList.empty())
        return;
    for (const cl_AssetPool* pool : m_pools)
        pool->GetTaggedAssets(tagList, ids);
}

void cl_PoolManager::SendToAsset(cl_Asset* asset, const std::string& event, const cl_Argument& data, float delay)
{
    if (!asset || !asset->GetLogic())
        return;
    if (delay > 0.0f)
    {
        SendToAssetDelayed(asset->GetId(), event, data, delay);
        return;
    }
    asset->GetLogic()->SendEvent(event, &data);
}

void cl_PoolManager::SendToAssetDelayed(const std::string& id, const std::string& event, const cl_Argument& data,
                                        float delay)
{
    if (delay <= 0.0f)
    {
        SendToAsset(FindAsset(id), event, data, 0.0f);
        return;
    }
    m_delayedEvents.push_back(DelayedEvent{id, event, data, delay});
}

void cl_PoolManager::SendToAssetDelayedOnce(const std::string& id, const std::string& event,
                                            const cl_Argument& data, float delay)
{
    RemoveDelayedEvents(id, event);
    SendToAssetDelayed(id, event, data, delay);
}

void cl_PoolManager::RemoveDelayedEvents(const std::string& id, const std::string& event)
{
    for (size_t index = 0; index < m_delayedEvents.size();)
    {
        const DelayedEvent& record = m_delayedEvents[index];
        if (record.receiver != id || record.event != event)
        {
            ++index;
            continue;
        }
        m_delayedEvents.erase(m_delayedEvents.begin() + static_cast<std::ptrdiff_t>(index));
        if (m_walking && index < m_walkIndex)
            --m_walkIndex;
    }
}

void cl_PoolManager::ClearDelayedEvents()
{
    m_delayedEvents.clear();
    // Records a load puts in place start their count with the next frame.
    m_walkIndex = std::numeric_limits<size_t>::max();
}
