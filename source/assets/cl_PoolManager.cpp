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
std::string Param(const cl_Asset& subject, const CommandArguments& args, int index)
{
    const cl_AssetLogic* logic = subject.GetLogic();
    return logic ? logic->GetParam(args.String(index)) : std::string();
}

void AppendString(cl_Command& cmd, const std::string& text)
{
    cmd.m_results.GetArg(-1)->SetString(text);
}

void RefreshMouseOverText()
{
    if (cl_GameComponents* hub = cl_GameComponents::GetInstance())
        hub->UpdateMouseOverText();
}

// Which pools argument 0 is looked up in.
enum class Subject
{
    None, // argument 0 names no asset
    ItemOrCharacter,
    ItemThenCharacter,
    Character,
    Topic,
    Any,
};

using Run = void (*)(cl_PoolManager& pools, cl_Asset* subject, const CommandArguments& args, cl_Command& cmd);

// One command: its name, the arguments it reads (see CommandArguments), where its subject, argument 0, is
// looked up, and what it does. run gets the subject found, or null; unless runsWithout is set, the command
// does nothing without a subject, or without the subject's logic when needsLogic is set.
struct CommandRow
{
    const char* name;
    const char* arguments;
    Subject subject;
    bool needsLogic;
    bool runsWithout;
    Run run;
};

// Looks up partner B named by A's parameter in argument 1 and runs change(A, B) then change(B, A); nothing
// unless both exist.
template <class Change>
void Crossreferenced(cl_PoolManager& pools, cl_Asset& a, const CommandArguments& args, const Change& change)
{
    cl_Asset* b = pools.FindItemOrCharacter(Param(a, args, 1));
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

// -1 when the subject or its logic is missing, or the character (logged); an empty parent counts the
// top-level topics.
int ActiveSubTopicCount(const cl_PoolManager& pools, const cl_Asset* subject, const CommandArguments& args)
{
    if (!subject || !subject->GetLogic())
        return -1;
    const std::string characterId = Param(*subject, args, 1);
    const auto* character =
        dynamic_cast<cl_CharacterAsset*>(pools.GetCharacterPool()->FindAsset(characterId));
    if (!character)
    {
        LOG_ERROR("character with id '%s' not found", characterId.c_str());
        return -1;
    }
    const std::string parentId = Param(*subject, args, 2);
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

void TaggedAssets(const cl_PoolManager& pools, const CommandArguments& args, cl_Command& cmd)
{
    std::vector<std::string> ids;
    const auto addString = [&ids](const cl_Argument* value)
    {
        if (value && value->GetType() == cl_Argument::TYPE_STRING)
            ids.push_back(value->GetString());
    };
    const cl_Argument& given = args.Any(1);
    if (given.GetType() == cl_Argument::TYPE_TABLE)
    {
        const cl_ArgTable* table = given.GetTable();
        for (int index = 0; index < table->GetSize(); ++index)
            addString(&table->GetPair(index)->value);
    }
    else if (given.GetType() == cl_Argument::TYPE_LIST)
    {
        const cl_ArgList* list = given.GetList();
        for (int index = 0; index < list->GetSize(); ++index)
            addString(list->GetArg(index));
    }
    pools.GetTaggedAssets(args.String(0), ids);
    cl_Argument* result = cmd.m_results.GetArg(-1);
    result->SetTable();
    for (const std::string& id : ids)
        result->GetTable()->GetValue(id)->SetString(id);
}

// The two delayed sends: argument 0 need not name an asset yet.
void SendDelayed(cl_PoolManager& pools, const CommandArguments& args, bool once)
{
    const std::string id = args.String(0);
    const std::string event = args.String(1);
    if (once)
        pools.RemoveDelayedEvents(id, event);
    pools.SendToAssetDelayed(id, event, args.Any(2), args.Float(3));
}

// The asset argument 0 names, looked up where the command looks; null when it finds none.
cl_Asset* FindSubject(const cl_PoolManager& pools, Subject subject, const CommandArguments& args)
{
    if (subject == Subject::None)
        return nullptr;
    const std::string id = args.String(0);
    switch (subject)
    {
    case Subject::None:
    case Subject::Any:
        break;
    case Subject::ItemOrCharacter:
        return pools.FindItemOrCharacter(id);
    case Subject::ItemThenCharacter:
        if (cl_Asset* item = pools.GetItemPool()->FindAsset(id))
            return item;
        return pools.GetCharacterPool()->FindAsset(id);
    case Subject::Character:
        return pools.GetCharacterPool()->FindAsset(id);
    case Subject::Topic:
        return pools.GetTopicPool()->FindAsset(id);
    }
    return pools.FindAsset(id);
}

// The receiver "poolmanager", in the order the names are matched. Argument 0 names the subject asset,
// looked up among characters then items (ItemOrCharacter), items then characters, characters, topics or
// every pool (Any). A "param" argument is the name of a logic parameter of the subject (of A for the
// Crossreferenced commands, which change partner B the same way, A first), resolved to the asset id it
// names; a name that is no parameter resolves to "". A subject that is not found, or has no logic where a
// param is read, makes the command do nothing unless said otherwise.
const CommandRow COMMANDS[] = {
    {"AddItemToInteractionList", "string id, string item param, [string condition]", Subject::ItemOrCharacter,
     true, false,
     [](cl_PoolManager&, cl_Asset* subject, const CommandArguments& args, cl_Command&)
     { AddInteraction(*subject, Param(*subject, args, 1), args.String(2)); }},
    {"AddItemToInteractionListCrossreferenced", "string id A, string param B, [string condition]",
     Subject::ItemOrCharacter, true, false,
     [](cl_PoolManager& pools, cl_Asset* a, const CommandArguments& args, cl_Command&)
     {
         const std::string condition = args.String(2);
         Crossreferenced(pools, *a, args,
                         [&condition](cl_Asset& owner, const cl_Asset& other)
                         { AddInteraction(owner, other.GetId(), condition); });
     }},
    {"ClearInteractionList", "string id", Subject::ItemThenCharacter, true, false,
     [](cl_PoolManager&, cl_Asset* subject, const CommandArguments&, cl_Command&)
     { subject->GetLogic()->ClearInteractionItems(); }},
    // Answers an int: -1 without the subject, its logic or the character (logged).
    {"GetActiveSubTopicCount", "string id, string character param, [string parent topic param]", Subject::Any,
     false, true,
     [](cl_PoolManager& pools, cl_Asset* subject, const CommandArguments& args, cl_Command& cmd)
     { cmd.m_results.GetArg(-1)->SetInt(ActiveSubTopicCount(pools, subject, args)); }},
    // Answers the character's scene, "none" when the character is not found.
    {"GetCurrentSceneOfCharacter", "string character id", Subject::Character, false, true,
     [](cl_PoolManager&, cl_Asset* subject, const CommandArguments&, cl_Command& cmd)
     {
         const auto* character = dynamic_cast<const cl_ItemAsset*>(subject);
         AppendString(cmd, character ? character->GetCurrentScene() : "none");
     }},
    {"RemoveItemFromInteractionList", "string id, string item param, [string condition]",
     Subject::ItemOrCharacter, true, false,
     [](cl_PoolManager&, cl_Asset* subject, const CommandArguments& args, cl_Command&)
     { RemoveInteraction(*subject, Param(*subject, args, 1), args.String(2)); }},
    {"RemoveItemFromInteractionListCrossreferenced", "string id A, string param B, [string condition]",
     Subject::ItemOrCharacter, true, false,
     [](cl_PoolManager& pools, cl_Asset* a, const CommandArguments& args, cl_Command&)
     {
         const std::string condition = args.String(2);
         Crossreferenced(pools, *a, args,
                         [&condition](cl_Asset& owner, const cl_Asset& other)
                         { RemoveInteraction(owner, other.GetId(), condition); });
     }},
    // Answers the asset's file as XML text, its element brought up to date by its pool and without
    // "hash"; a missing asset is logged and answers nothing.
    {"GetAsset", "string id", Subject::Any, false, true,
     [](cl_PoolManager&, cl_Asset* subject, const CommandArguments& args, cl_Command& cmd)
     {
         if (!subject)
         {
             LOG_ERROR("Asset '%s' not found.", args.String(0).c_str());
             return;
         }
         const std::string text = subject->GetPool() ? subject->GetPool()->GetAssetText(subject) : "";
         if (!text.empty())
             AppendString(cmd, text);
     }},
    // Answers a table id = id of the assets with every tag, after the string values of argument 1.
    {"GetTaggedAssets", "string tags, [table or list ids]", Subject::None, false, true,
     [](cl_PoolManager& pools, cl_Asset*, const CommandArguments& args, cl_Command& cmd)
     { TaggedAssets(pools, args, cmd); }},
    {"SendToAsset", "string id, string event, [any data]", Subject::Any, false, false,
     [](cl_PoolManager& pools, cl_Asset* subject, const CommandArguments& args, cl_Command&)
     { pools.SendToAssetDelayed(subject->GetId(), args.String(1), args.Any(2), 0.0f); }},
    {"SendToAssetDelayed", "string id, string event, any data, number delay", Subject::None, false, true,
     [](cl_PoolManager& pools, cl_Asset*, const CommandArguments& args, cl_Command&)
     { SendDelayed(pools, args, false); }},
    {"SendToAssetDelayedOnce", "string id, string event, any data, number delay", Subject::None, false, true,
     [](cl_PoolManager& pools, cl_Asset*, const CommandArguments& args, cl_Command&)
     { SendDelayed(pools, args, true); }},
    // A missing asset is logged.
    {"SetAsset", "string id, string asset XML", Subject::Any, false, true,
     [](cl_PoolManager&, cl_Asset* subject, const CommandArguments& args, cl_Command&)
     {
         if (subject)
             UpdateAssetFromText(*subject, args.String(1));
         else
             LOG_ERROR("Asset '%s' not found.", args.String(0).c_str());
     }},
    {"SetCurrentCharacterName", "string character id, string text param", Subject::Character, true, false,
     [](cl_PoolManager&, cl_Asset* subject, const CommandArguments& args, cl_Command&)
     {
         if (auto* target = dynamic_cast<cl_ItemAsset*>(subject))
             target->SetNameRef(Param(*subject, args, 1));
     }},
    {"SetCurrentMouseOverText", "string id, string text param, string held item param, string condition",
     Subject::ItemOrCharacter, true, false,
     [](cl_PoolManager&, cl_Asset* subject, const CommandArguments& args, cl_Command&)
     { SetMouseOver(*subject, Param(*subject, args, 1), Param(*subject, args, 2), args.String(3)); }},
    {"SetCurrentMouseOverTextCrossreferenced",
     "string id A, string text param, string param B, string condition", Subject::ItemOrCharacter, true,
     false,
     [](cl_PoolManager& pools, cl_Asset* a, const CommandArguments& args, cl_Command&)
     {
         cl_Asset* b = pools.FindItemOrCharacter(Param(*a, args, 2));
         if (!b)
             return;
         const std::string textId = Param(*a, args, 1);
         const std::string condition = args.String(3);
         SetMouseOver(*a, textId, b->GetId(), condition);
         SetMouseOver(*b, textId, a->GetId(), condition);
     }},
    {"SetCurrentSceneOfCharacter", "string character id, string scene param", Subject::Character, true, false,
     [](cl_PoolManager&, cl_Asset* subject, const CommandArguments& args, cl_Command&)
     {
         if (auto* target = dynamic_cast<cl_ItemAsset*>(subject))
             target->SetCurrentScene(Param(*subject, args, 1));
     }},
    {"SetInteractionFlags", "string id, int flags", Subject::ItemOrCharacter, false, false,
     [](cl_PoolManager&, cl_Asset* subject, const CommandArguments& args, cl_Command&)
     {
         if (auto* target = dynamic_cast<cl_ItemAsset*>(subject))
             target->SetInteractionFlags(args.Int(1));
     }},
    {"SetInteractionMode", "string id, string mode", Subject::ItemOrCharacter, false, false,
     [](cl_PoolManager&, cl_Asset* subject, const CommandArguments& args, cl_Command&)
     {
         if (auto* target = dynamic_cast<cl_ItemAsset*>(subject))
             target->SetInteractionMode(args.String(1));
     }},
    {"SetInteractionSequence", "string id, string mode, string sequence param", Subject::ItemOrCharacter,
     true, false,
     [](cl_PoolManager&, cl_Asset* subject, const CommandArguments& args, cl_Command&)
     {
         if (auto* target = dynamic_cast<cl_ItemAsset*>(subject))
             target->SetInteractionSequence(args.String(1), Param(*subject, args, 2));
     }},
    {"SetNotAllowedInteractionSequence", "string character id, string sequence param", Subject::Character,
     true, false,
     [](cl_PoolManager&, cl_Asset* subject, const CommandArguments& args, cl_Command&)
     {
         if (auto* target = dynamic_cast<cl_CharacterAsset*>(subject))
             target->SetForbiddenInteractSequence(Param(*subject, args, 1));
     }},
    {"SetTopicActive", "string topic id, bool active", Subject::Topic, false, false,
     [](cl_PoolManager&, cl_Asset* subject, const CommandArguments& args, cl_Command&)
     {
         if (auto* target = dynamic_cast<cl_TopicAsset*>(subject))
             target->SetActive(args.Bool(1));
     }},
    {"SetTopicSequence", "string topic id, string sequence param", Subject::Topic, true, false,
     [](cl_PoolManager&, cl_Asset* subject, const CommandArguments& args, cl_Command&)
     {
         if (auto* target = dynamic_cast<cl_TopicAsset*>(subject))
             target->SetSequenceRef(Param(*subject, args, 1));
     }},
    {"SetTopicTitle", "string topic id, string text param", Subject::Topic, true, false,
     [](cl_PoolManager&, cl_Asset* subject, const CommandArguments& args, cl_Command&)
     {
         if (auto* target = dynamic_cast<cl_TopicAsset*>(subject))
             target->SetTitleRef(Param(*subject, args, 1));
     }},
    {"SetUsedByInteractionSequence",
     "string id, string item param, string sequence param, [string condition]", Subject::ItemOrCharacter,
     true, false,
     [](cl_PoolManager&, cl_Asset* subject, const CommandArguments& args, cl_Command&)
     { SetUsedBy(*subject, Param(*subject, args, 1), Param(*subject, args, 2), args.String(3)); }},
    {"SetUsedByInteractionSequenceCrossreferenced",
     "string id A, string param B, string sequence param, [string condition]", Subject::ItemOrCharacter, true,
     false,
     [](cl_PoolManager& pools, cl_Asset* a, const CommandArguments& args, cl_Command&)
     {
         const std::string sequenceId = Param(*a, args, 2);
         const std::string condition = args.String(3);
         Crossreferenced(pools, *a, args,
                         [&](cl_Asset& owner, const cl_Asset& other)
                         { SetUsedBy(owner, other.GetId(), sequenceId, condition); });
     }},
    // Without a player, the sequence for every player.
    {"SetNoTopicSequence", "string character id, string sequence param, [string player param]",
     Subject::Character, true, false,
     [](cl_PoolManager&, cl_Asset* subject, const CommandArguments& args, cl_Command&)
     {
         if (auto* character = dynamic_cast<cl_CharacterAsset*>(subject))
             character->SetNoTopicSequence(Param(*subject, args, 1), Param(*subject, args, 2));
     }},
    // Answers the parameter's asset id ("" for a name that is no parameter).
    {"GetParam", "string id, string parameter name", Subject::Any, true, false,
     [](cl_PoolManager&, cl_Asset* subject, const CommandArguments& args, cl_Command& cmd)
     { AppendString(cmd, Param(*subject, args, 1)); }},
    // Answers a bool.
    {"AssetInState", "string id, string state id", Subject::Any, true, false,
     [](cl_PoolManager&, cl_Asset* subject, const CommandArguments& args, cl_Command& cmd)
     { cmd.m_results.GetArg(-1)->SetBool(subject->GetLogic()->IsInState(args.String(1))); }},
    // Answers the type word ("item", "character", ...).
    {"GetAssetType", "string id", Subject::Any, false, false,
     [](cl_PoolManager&, cl_Asset* subject, const CommandArguments&, cl_Command& cmd)
     { AppendString(cmd, subject->GetType()); }},
};
} // namespace

bool cl_PoolManager::ExecuteCmd(cl_Command& cmd)
{
    const CommandArguments args(cmd, RECEIVER);
    const CommandRow* row = args.Find(COMMANDS, true);
    if (!row)
        return false;
    cl_Asset* subject = FindSubject(*this, row->subject, args);
    if (row->runsWithout || (subject && (!row->needsLogic || subject->GetLogic())))
        row->run(*this, subject, args, cmd);
    return true;
}
