#include "assets/cl_PoolManager.h"

#include "assets/cl_Asset.h"
#include "assets/cl_AssetLogic.h"
#include "assets/cl_AssetPool.h"
#include "assets/cl_CharacterAsset.h"
#include "assets/cl_CharacterPool.h"
#include "assets/cl_CutscenePool.h"
#include "assets/cl_ItemPool.h"
#include "assets/cl_MinigamePool.h"
#include "assets/cl_ScenePool.h"
#include "assets/cl_SequencePool.h"
#include "assets/cl_SpokentextPool.h"
#include "assets/cl_TaskPool.h"
#include "assets/cl_TextPool.h"
#include "assets/cl_TopicAsset.h"
#include "assets/cl_TopicPool.h"
#include "common/ArgumentXml.h"
#include "common/CommandArguments.h"
#include "common/LogCall.h"
#include "common/StringHelpers.h"
#include "common/XmlParse.h"
#include "common/cl_ArgList.h"
#include "common/cl_ArgTable.h"
#include "common/cl_Command.h"
#include "common/cl_GameTime.h"
#include "common/cl_ScriptSystem.h"
#include "gamecomponents/cl_GameComponents.h"
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

cl_PoolManager::cl_PoolManager(cl_CommandDistributor& distributor)
    : m_itemPool(std::make_unique<cl_ItemPool>()), m_textPool(std::make_unique<cl_TextPool>()),
      m_scenePool(std::make_unique<cl_ScenePool>()), m_topicPool(std::make_unique<cl_TopicPool>()),
      m_characterPool(std::make_unique<cl_CharacterPool>()),
      m_cutscenePool(std::make_unique<cl_CutscenePool>()),
      m_minigamePool(std::make_unique<cl_MinigamePool>()),
      m_sequencePool(std::make_unique<cl_SequencePool>()),
      m_spokentextPool(std::make_unique<cl_SpokentextPool>()),
      m_taskPool(std::make_unique<cl_TaskPool>()), m_pools{m_itemPool.get(),       m_textPool.get(),
                                                           m_scenePool.get(),      m_topicPool.get(),
                                                           m_characterPool.get(),  m_cutscenePool.get(),
                                                           m_minigamePool.get(),   m_sequencePool.get(),
                                                           m_spokentextPool.get(), m_taskPool.get()},
      m_receiver(distributor, "poolmanager", this)
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
        DelayedEvent record{Attribute(*element, "receiver"), Attribute(*element, "eventstring"),
                            cl_Argument(), 0.0f};
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

void cl_PoolManager::SendToAsset(cl_Asset* asset, const std::string& event, const cl_Argument& data,
                                 float delay)
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

void cl_PoolManager::SendToAssetDelayed(const std::string& id, const std::string& event,
                                        const cl_Argument& data, float delay)
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

namespace
{
const char* const RECEIVER = "poolmanager";

// The asset id named by the subject's logic parameter in argument index; empty without a logic.
std::string Param(const cl_Asset& subject, const cl_Command& cmd, int index)
{
    const cl_AssetLogic* logic = subject.GetLogic();
    return logic ? logic->GetParam(StringArgument(cmd, index)) : std::string();
}

void AppendString(cl_Command& cmd, const std::string& text)
{
    cmd.m_results.GetArg(-1)->SetString(text);
}

// The delay argument: a double, an int converted, 0.0 (sent at once) for any other kind.
float Delay(const cl_Command& cmd)
{
    const cl_Argument* delay = cmd.m_arguments.GetArg(3);
    if (delay->GetType() == cl_Argument::TYPE_DOUBLE || delay->GetType() == cl_Argument::TYPE_INT)
        return static_cast<float>(delay->GetDouble());
    LOG_WARNING("poolmanager %s: the delay is no number; the event is sent at once.", cmd.m_name.c_str());
    return 0.0f;
}

const cl_Argument& EventData(const cl_Command& cmd)
{
    static const cl_Argument none;
    const cl_Argument* data = cmd.m_arguments.GetArg(2);
    return data ? *data : none;
}

void RefreshMouseOverText()
{
    if (cl_GameComponents* hub = cl_GameComponents::GetInstance())
        hub->UpdateMouseOverText();
}

// Which pools argument 0 is looked up in.
enum class Subject
{
    ItemOrCharacter,
    ItemThenCharacter,
    Character,
    Topic,
    Any,
};

// One command: its name, the arguments it reads (CheckArguments letters), where its subject is looked up,
// whether it needs the subject's logic, and what it does with a found subject.
struct CommandRow
{
    const char* name;
    const char* kinds;
    Subject subject;
    bool needsLogic;
    void (*run)(cl_PoolManager& pools, cl_Asset& subject, cl_Command& cmd);
};

// The condition argument at index, read only when the command has exactly index + 1 arguments.
std::string ConditionIfGiven(const cl_Command& cmd, int index)
{
    return cmd.m_arguments.GetSize() == index + 1 ? StringArgument(cmd, index) : std::string();
}

// Looks up partner B named by A's parameter in argument 1 and runs change(A, B) then change(B, A); nothing
// unless both exist.
template <class Change>
void Crossreferenced(cl_PoolManager& pools, cl_Asset& a, const cl_Command& cmd, const Change& change)
{
    cl_Asset* b = pools.FindItemOrCharacter(Param(a, cmd, 1));
    if (!b)
        return;
    change(a, *b);
    change(*b, a);
}

void AddInteraction(cl_Asset& owner, const std::string& itemId, const std::string& condition)
{
    if (cl_AssetLogic* logic = owner.GetLogic())
        logic->AddInteractionItem(itemId, condition);
}

void RemoveInteraction(cl_Asset& owner, const std::string& itemId, const std::string& condition)
{
    if (cl_AssetLogic* logic = owner.GetLogic())
        logic->RemoveInteractionItem(itemId, condition);
}

void SetMouseOver(cl_Asset& owner, const std::string& textId, const std::string& heldId,
                  const std::string& condition)
{
    if (auto* item = dynamic_cast<cl_ItemAsset*>(&owner))
        item->SetCurrentMouseOverText(textId, heldId, condition);
    RefreshMouseOverText();
}

void SetUsedBy(cl_Asset& owner, const std::string& itemId, const std::string& sequenceId,
               const std::string& condition)
{
    if (auto* item = dynamic_cast<cl_ItemAsset*>(&owner))
        item->SetUsedByInteractionSequence(itemId, sequenceId, condition);
}

int ActiveSubTopicCount(const cl_PoolManager& pools, cl_Asset& subject, const cl_Command& cmd)
{
    const std::string characterId = Param(subject, cmd, 1);
    const auto* character =
        dynamic_cast<cl_CharacterAsset*>(pools.GetCharacterPool()->FindAsset(characterId));
    if (!character)
    {
        LOG_ERROR("character with id '%s' not found", characterId.c_str());
        return -1;
    }
    const std::string parentId = Param(subject, cmd, 2);
    const cl_TopicAsset* parent = nullptr;
    if (!parentId.empty())
    {
        parent = dynamic_cast<cl_TopicAsset*>(pools.GetTopicPool()->FindAsset(parentId));
        // No topic can have a parent that does not exist.
        if (!parent)
            return 0;
    }
    const cl_GameState* gameState = cl_GameState::GetInstance();
    return character->CountActiveSubTopics(parent, gameState ? gameState->GetCurrentCharacterId() : "");
}

// The asset's definition as its file holds it, without the "hash" attribute; false when the file cannot
// be read.
bool AssetText(const cl_Asset& asset, std::string& text)
{
    TiXmlDocument document;
    if (asset.GetSourceFile().empty() || !LoadXmlFile(document, asset.GetSourceFile()) || document.Error())
    {
        LOG_ERROR("The definition of asset '%s' cannot be read from '%s'.", asset.GetId().c_str(),
                  asset.GetSourceFile().c_str());
        return false;
    }
    for (TiXmlElement* element = document.FirstChildElement("asset"); element;
         element = element->NextSiblingElement("asset"))
    {
        const char* id = element->Attribute("id");
        if (id && asset.GetId() == id)
            element->RemoveAttribute("hash");
    }
    text = PrintXml(document);
    return true;
}

void UpdateAssetFromText(cl_Asset& asset, const std::string& text)
{
    TiXmlDocument document;
    ParseXml(document, text, "The new definition of asset '" + asset.GetId() + "'");
    const TiXmlElement* element = document.FirstChildElement("asset");
    if (!element && document.RootElement())
        element = document.RootElement()->FirstChildElement("asset");
    if (element && asset.GetPool())
        asset.GetPool()->UpdateAsset(asset, *element);
}

void TaggedAssets(const cl_PoolManager& pools, cl_Command& cmd)
{
    std::vector<std::string> ids;
    if (const cl_Argument* given = cmd.m_arguments.GetArg(1))
    {
        const auto addString = [&ids](const cl_Argument* value)
        {
            if (value && value->GetType() == cl_Argument::TYPE_STRING)
                ids.push_back(value->GetString());
        };
        if (given->GetType() == cl_Argument::TYPE_TABLE)
        {
            const cl_ArgTable* table = given->GetTable();
            for (int index = 0; index < table->GetSize(); ++index)
                addString(&table->GetPair(index)->value);
        }
        else if (given->GetType() == cl_Argument::TYPE_LIST)
        {
            const cl_ArgList* list = given->GetList();
            for (int index = 0; index < list->GetSize(); ++index)
                addString(list->GetArg(index));
        }
    }
    pools.GetTaggedAssets(StringArgument(cmd, 0), ids);
    cl_Argument* result = cmd.m_results.GetArg(-1);
    result->SetTable();
    for (const std::string& id : ids)
        result->GetTable()->GetValue(id)->SetString(id);
}

const CommandRow COMMANDS[] = {
    {"AddItemToInteractionList", "sso", Subject::ItemOrCharacter, true,
     [](cl_PoolManager&, cl_Asset& subject, cl_Command& cmd)
     { AddInteraction(subject, Param(subject, cmd, 1), StringArgument(cmd, 2)); }},
    {"AddItemToInteractionListCrossreferenced", "sso", Subject::ItemOrCharacter, true,
     [](cl_PoolManager& pools, cl_Asset& a, cl_Command& cmd)
     {
         const std::string condition = StringArgument(cmd, 2);
         Crossreferenced(pools, a, cmd,
                         [&condition](cl_Asset& owner, const cl_Asset& other)
                         { AddInteraction(owner, other.GetId(), condition); });
     }},
    {"ClearInteractionList", "s", Subject::ItemThenCharacter, true,
     [](cl_PoolManager&, cl_Asset& subject, cl_Command&) { subject.GetLogic()->ClearInteractionItems(); }},
    {"GetActiveSubTopicCount", "sss", Subject::Any, false, nullptr}, // answered in ExecuteCmd: -1 cases
    {"GetCurrentSceneOfCharacter", "s", Subject::Character, false, nullptr}, // answers "none" when not found
    {"RemoveItemFromInteractionList", "ss|s", Subject::ItemOrCharacter, true,
     [](cl_PoolManager&, cl_Asset& subject, cl_Command& cmd)
     { RemoveInteraction(subject, Param(subject, cmd, 1), ConditionIfGiven(cmd, 2)); }},
    {"RemoveItemFromInteractionListCrossreferenced", "ss|s", Subject::ItemOrCharacter, true,
     [](cl_PoolManager& pools, cl_Asset& a, cl_Command& cmd)
     {
         const std::string condition = ConditionIfGiven(cmd, 2);
         Crossreferenced(pools, a, cmd,
                         [&condition](cl_Asset& owner, const cl_Asset& other)
                         { RemoveInteraction(owner, other.GetId(), condition); });
     }},
    {"GetAsset", "s", Subject::Any, false,
     [](cl_PoolManager&, cl_Asset& subject, cl_Command& cmd)
     {
         std::string text;
         if (AssetText(subject, text))
             AppendString(cmd, text);
     }},
    {"GetTaggedAssets", "sa", Subject::Any, false, nullptr}, // no subject
    {"SendToAsset", "ssa", Subject::Any, false,
     [](cl_PoolManager& pools, cl_Asset& subject, cl_Command& cmd)
     { pools.SendToAssetDelayed(subject.GetId(), StringArgument(cmd, 1), EventData(cmd), 0.0f); }},
    {"SendToAssetDelayed", "ssan", Subject::Any, false, nullptr}, // an id found later is fine
    {"SendToAssetDelayedOnce", "ssan", Subject::Any, false, nullptr},
    {"SetAsset", "ss", Subject::Any, false,
     [](cl_PoolManager&, cl_Asset& subject, cl_Command& cmd)
     { UpdateAssetFromText(subject, StringArgument(cmd, 1)); }},
    {"SetCurrentCharacterName", "ss", Subject::Character, true,
     [](cl_PoolManager&, cl_Asset& subject, cl_Command& cmd)
     {
         if (auto* target = dynamic_cast<cl_ItemAsset*>(&subject))
             target->SetNameRef(Param(subject, cmd, 1));
     }},
    {"SetCurrentMouseOverText", "ssss", Subject::ItemOrCharacter, true,
     [](cl_PoolManager&, cl_Asset& subject, cl_Command& cmd)
     { SetMouseOver(subject, Param(subject, cmd, 1), Param(subject, cmd, 2), StringArgument(cmd, 3)); }},
    {"SetCurrentMouseOverTextCrossreferenced", "ssss", Subject::ItemOrCharacter, true,
     [](cl_PoolManager& pools, cl_Asset& a, cl_Command& cmd)
     {
         cl_Asset* b = pools.FindItemOrCharacter(Param(a, cmd, 2));
         if (!b)
             return;
         const std::string textId = Param(a, cmd, 1);
         const std::string condition = StringArgument(cmd, 3);
         SetMouseOver(a, textId, b->GetId(), condition);
         SetMouseOver(*b, textId, a.GetId(), condition);
     }},
    {"SetCurrentSceneOfCharacter", "ss", Subject::Character, true,
     [](cl_PoolManager&, cl_Asset& subject, cl_Command& cmd)
     {
         if (auto* target = dynamic_cast<cl_ItemAsset*>(&subject))
             target->SetCurrentScene(Param(subject, cmd, 1));
     }},
    {"SetInteractionFlags", "si", Subject::ItemOrCharacter, false,
     [](cl_PoolManager&, cl_Asset& subject, cl_Command& cmd)
     {
         if (auto* target = dynamic_cast<cl_ItemAsset*>(&subject))
             target->SetInteractionFlags(cmd.m_arguments.GetArg(1)->GetInt());
     }},
    {"SetInteractionMode", "ss", Subject::ItemOrCharacter, false,
     [](cl_PoolManager&, cl_Asset& subject, cl_Command& cmd)
     {
         if (auto* target = dynamic_cast<cl_ItemAsset*>(&subject))
             target->SetInteractionMode(StringArgument(cmd, 1));
     }},
    {"SetInteractionSequence", "sss", Subject::ItemOrCharacter, true,
     [](cl_PoolManager&, cl_Asset& subject, cl_Command& cmd)
     {
         if (auto* target = dynamic_cast<cl_ItemAsset*>(&subject))
             target->SetInteractionSequence(StringArgument(cmd, 1), Param(subject, cmd, 2));
     }},
    {"SetNotAllowedInteractionSequence", "ss", Subject::Character, true,
     [](cl_PoolManager&, cl_Asset& subject, cl_Command& cmd)
     {
         if (auto* target = dynamic_cast<cl_CharacterAsset*>(&subject))
             target->SetForbiddenInteractSequence(Param(subject, cmd, 1));
     }},
    {"SetTopicActive", "sb=", Subject::Topic, false,
     [](cl_PoolManager&, cl_Asset& subject, cl_Command& cmd)
     {
         if (auto* target = dynamic_cast<cl_TopicAsset*>(&subject))
             target->SetActive(cmd.m_arguments.GetArg(1)->GetBool());
     }},
    {"SetTopicSequence", "ss=", Subject::Topic, true,
     [](cl_PoolManager&, cl_Asset& subject, cl_Command& cmd)
     {
         if (auto* target = dynamic_cast<cl_TopicAsset*>(&subject))
             target->SetSequenceRef(Param(subject, cmd, 1));
     }},
    {"SetTopicTitle", "ss=", Subject::Topic, true,
     [](cl_PoolManager&, cl_Asset& subject, cl_Command& cmd)
     {
         if (auto* target = dynamic_cast<cl_TopicAsset*>(&subject))
             target->SetTitleRef(Param(subject, cmd, 1));
     }},
    {"SetUsedByInteractionSequence", "sss|s", Subject::ItemOrCharacter, true,
     [](cl_PoolManager&, cl_Asset& subject, cl_Command& cmd)
     { SetUsedBy(subject, Param(subject, cmd, 1), Param(subject, cmd, 2), ConditionIfGiven(cmd, 3)); }},
    {"SetUsedByInteractionSequenceCrossreferenced", "sss|s", Subject::ItemOrCharacter, true,
     [](cl_PoolManager& pools, cl_Asset& a, cl_Command& cmd)
     {
         const std::string sequenceId = Param(a, cmd, 2);
         const std::string condition = ConditionIfGiven(cmd, 3);
         Crossreferenced(pools, a, cmd,
                         [&](cl_Asset& owner, const cl_Asset& other)
                         { SetUsedBy(owner, other.GetId(), sequenceId, condition); });
     }},
    {"SetNoTopicSequence", "ss|s", Subject::Character, true,
     [](cl_PoolManager&, cl_Asset& subject, cl_Command& cmd)
     {
         const std::string player = cmd.m_arguments.GetSize() == 3 ? Param(subject, cmd, 2) : std::string();
         if (auto* character = dynamic_cast<cl_CharacterAsset*>(&subject))
             character->SetNoTopicSequence(Param(subject, cmd, 1), player);
     }},
    {"GetParam", "ss", Subject::Any, true,
     [](cl_PoolManager&, cl_Asset& subject, cl_Command& cmd) { AppendString(cmd, Param(subject, cmd, 1)); }},
    {"AssetInState", "ss", Subject::Any, true,
     [](cl_PoolManager&, cl_Asset& subject, cl_Command& cmd)
     { cmd.m_results.GetArg(-1)->SetBool(subject.GetLogic()->IsInState(StringArgument(cmd, 1))); }},
    {"GetAssetType", "s", Subject::Any, false,
     [](cl_PoolManager&, cl_Asset& subject, cl_Command& cmd) { AppendString(cmd, subject.GetType()); }},
};
} // namespace

bool cl_PoolManager::ExecuteCmd(cl_Command& cmd)
{
    const CommandRow* row = nullptr;
    for (const CommandRow& candidate : COMMANDS)
    {
        if (cmd.m_name == candidate.name)
        {
            row = &candidate;
            break;
        }
    }
    if (!row)
    {
        LOG_WARNING("poolmanager: unknown command '%s'.", cmd.m_name.c_str());
        return false;
    }
    if (!CheckArguments(cmd, RECEIVER, row->kinds))
        return false;

    const std::string id = StringArgument(cmd, 0);
    const std::string name = cmd.m_name;
    if (name == "GetTaggedAssets")
    {
        TaggedAssets(*this, cmd);
        return true;
    }
    if (name == "SendToAssetDelayed" || name == "SendToAssetDelayedOnce")
    {
        const float delay = Delay(cmd);
        if (name == "SendToAssetDelayedOnce")
            RemoveDelayedEvents(id, StringArgument(cmd, 1));
        SendToAssetDelayed(id, StringArgument(cmd, 1), EventData(cmd), delay);
        return true;
    }

    cl_Asset* subject = nullptr;
    switch (row->subject)
    {
    case Subject::ItemOrCharacter:
        subject = FindItemOrCharacter(id);
        break;
    case Subject::ItemThenCharacter:
        subject = m_itemPool->FindAsset(id);
        if (!subject)
            subject = m_characterPool->FindAsset(id);
        break;
    case Subject::Character:
        subject = m_characterPool->FindAsset(id);
        break;
    case Subject::Topic:
        subject = m_topicPool->FindAsset(id);
        break;
    case Subject::Any:
        subject = FindAsset(id);
        break;
    }

    if (name == "GetActiveSubTopicCount")
    {
        const int count = subject && subject->GetLogic() ? ActiveSubTopicCount(*this, *subject, cmd) : -1;
        cmd.m_results.GetArg(-1)->SetInt(count);
        return true;
    }
    if (name == "GetCurrentSceneOfCharacter")
    {
        const auto* character = dynamic_cast<const cl_ItemAsset*>(subject);
        AppendString(cmd, character ? character->GetCurrentScene() : "none");
        return true;
    }
    if (!subject)
    {
        if (name == "GetAsset" || name == "SetAsset")
            LOG_ERROR("Asset '%s' not found.", id.c_str());
        return true;
    }
    if (row->needsLogic && !subject->GetLogic())
        return true;
    row->run(*this, *subject, cmd);
    return true;
}
