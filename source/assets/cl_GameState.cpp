#include "assets/cl_GameState.h"

#include "assets/IGameStateListener.h"
#include "assets/cl_PoolManager.h"
#include "assets/cl_TextPool.h"
#include "common/LogCall.h"
#include "common/XmlName.h"

#include <tinyxml.h>

#include <algorithm>

namespace
{
TiXmlElement* AppendElement(TiXmlNode& parent, const std::string& name)
{
    TiXmlElement* element = new TiXmlElement(name);
    parent.LinkEndChild(element);
    return element;
}

// The chapter is the element's text; comments or elements before it are not the chapter.
template <class Element> auto FirstText(Element& element) -> decltype(element.FirstChild()->ToText())
{
    for (auto* child = element.FirstChild(); child; child = child->NextSibling())
    {
        if (auto* text = child->ToText())
            return text;
    }
    return nullptr;
}
// False, with a log line, for an element that cannot be the tree.
bool IsGameState(const TiXmlElement& element)
{
    if (element.ValueStr() == "gamestate")
        return true;
    LOG_ERROR("The element '%s' is no game state; the game state stays as it was.",
              element.ValueStr().c_str());
    return false;
}
} // namespace

cl_GameState::cl_GameState() = default;

cl_GameState::~cl_GameState() = default;

void cl_GameState::AddListener(IGameStateListener* listener)
{
    m_listeners.push_back(listener);
}

void cl_GameState::RemoveListener(IGameStateListener* listener)
{
    m_listeners.erase(std::remove(m_listeners.begin(), m_listeners.end(), listener), m_listeners.end());
}

// A listener may add or remove listeners (itself included, by being destroyed) while it is told: the pass
// runs over the list as it was and skips whoever has left it meanwhile.
template <class Notify> void cl_GameState::TellListeners(const Notify& notify)
{
    const std::vector<IGameStateListener*> listeners = m_listeners;
    for (IGameStateListener* listener : listeners)
    {
        if (std::find(m_listeners.begin(), m_listeners.end(), listener) != m_listeners.end())
            notify(*listener);
    }
}

void cl_GameState::Clear()
{
    m_indices.clear();
    m_root = nullptr;
    m_tree.reset();
    TellListeners([](IGameStateListener& listener) { listener.NotifyGameStateCleared(); });
}

void cl_GameState::SwitchChapter(const std::string& chapterFolder, const std::string& commonFolder,
                                 ILoadingProgress* progress)
{
    if (chapterFolder == m_chapterFolder)
        return;
    TellListeners([](IGameStateListener& listener) { listener.NotifyChapterChanged(); });
    m_chapterFolder = chapterFolder;
    if (!m_poolReloader)
    {
        LOG_ERROR("No pool manager to load the pools of '%s'.", chapterFolder.c_str());
        return;
    }
    m_poolReloader->ReloadPools(chapterFolder, commonFolder, progress);
}

bool cl_GameState::ReplaceTree(const TiXmlElement& gamestate)
{
    if (!IsGameState(gamestate))
        return false;
    auto copy = std::make_unique<TiXmlElement>(gamestate);
    TiXmlElement& root = *copy;
    PutTree(std::move(copy), root);
    return true;
}

bool cl_GameState::AdoptTree(std::unique_ptr<TiXmlDocument> document, TiXmlElement& gamestate)
{
    if (!IsGameState(gamestate))
        return false;
    PutTree(std::move(document), gamestate);
    return true;
}

void cl_GameState::PutTree(std::unique_ptr<TiXmlNode> tree, TiXmlElement& root)
{
    const std::unique_ptr<TiXmlNode> oldTree = std::move(m_tree);
    m_indices.clear();
    m_tree = std::move(tree);
    m_root = &root;
    NotifyListeners();
}

void cl_GameState::NotifyListeners()
{
    TellListeners([](IGameStateListener& listener) { listener.NotifyGameStateLoading(); });
    TellListeners([this](IGameStateListener& listener) { listener.NotifyGameStateLoaded(this); });
}

void cl_GameState::NotifySaving()
{
    TellListeners([this](IGameStateListener& listener) { listener.NotifyGameStateSaving(this); });
}

std::string cl_GameState::GetCurrentSceneId() const
{
    return ReadAttribute("currentscene", "sceneid", "");
}

std::string cl_GameState::GetCurrentBackdrop() const
{
    return ReadAttribute("currentscene", "backdrop", "default");
}

std::string cl_GameState::GetCurrentCharacterId() const
{
    return ReadAttribute("currentcharacter", "characterid", "");
}

std::string cl_GameState::GetCurrentChapter() const
{
    const TiXmlElement* chapter = FindChild("currentchapter");
    const TiXmlText* text = chapter ? FirstText(*chapter) : nullptr;
    return text ? text->ValueStr() : std::string();
}

std::string cl_GameState::GetCurrentHint() const
{
    const TiXmlElement* hints = FindChild("currenthint");
    const std::string characterId = GetCurrentCharacterId();
    const TiXmlElement* hint =
        hints && !characterId.empty() ? hints->FirstChildElement(characterId) : nullptr;
    const TiXmlText* textId = hint ? FirstText(*hint) : nullptr;
    const cl_PoolManager* pools = cl_PoolManager::GetInstance();
    return textId && pools ? pools->GetTextPool()->GetText(textId->ValueStr()) : std::string();
}

void cl_GameState::SetCurrentSceneId(const std::string& id)
{
    WriteAttribute("currentscene", "sceneid", id);
}

void cl_GameState::SetCurrentBackdrop(const std::string& name)
{
    WriteAttribute("currentscene", "backdrop", name);
}

void cl_GameState::SetCurrentCharacterId(const std::string& id)
{
    WriteAttribute("currentcharacter", "characterid", id);
}

void cl_GameState::SetCurrentChapter(const std::string& chapterId)
{
    TiXmlElement* chapter = FindOrCreateChild("currentchapter");
    if (!chapter)
        return;
    if (TiXmlText* text = FirstText(*chapter))
        text->SetValue(chapterId);
    else
        chapter->LinkEndChild(new TiXmlText(chapterId));
}

void cl_GameState::SetCurrentHint(const std::string& characterId, const std::string& textId)
{
    if (!m_root)
        return;
    if (!IsXmlName(characterId))
    {
        LOG_ERROR("The character id '%s' cannot name an element; its hint '%s' is not kept.",
                  characterId.c_str(), textId.c_str());
        return;
    }
    TiXmlElement* hints = FindOrCreateChild("currenthint");
    TiXmlElement* hint = hints->FirstChildElement(characterId);
    if (!hint)
        hint = AppendElement(*hints, characterId);
    hint->Clear();
    hint->LinkEndChild(new TiXmlText(textId));
}

TiXmlElement* cl_GameState::GetItemState(const std::string& id)
{
    if (!m_root)
        return nullptr;
    if (TiXmlElement* state = FindState("items", "item", id))
        return state;
    if (id.rfind("items", 0) == 0)
        LOG_ERROR("No State found for item '%s'. Creating an empty one.", id.c_str());
    TiXmlElement* state = AddState("items", "item", id);
    state->SetAttribute("interactionmode", "none");
    state->SetAttribute("visualisation", "default");
    return state;
}

TiXmlElement* cl_GameState::GetTopicState(const std::string& id)
{
    if (!m_root)
        return nullptr;
    if (TiXmlElement* state = FindState("topics", "topic", id))
        return state;
    LOG_ERROR("No State found for topic '%s'. Creating an empty one.", id.c_str());
    return AddState("topics", "topic", id);
}

TiXmlElement* cl_GameState::GetSceneState(const std::string& id)
{
    return FindState("scenes", "scene", id);
}

TiXmlElement* cl_GameState::GetLogicState(const std::string& id)
{
    if (!m_root)
        return nullptr;
    if (TiXmlElement* state = FindState("logics", "logic", id))
        return state;
    return AddState("logics", "logic", id);
}

const TiXmlElement* cl_GameState::FindChild(const char* name) const
{
    return m_root ? m_root->FirstChildElement(name) : nullptr;
}

TiXmlElement* cl_GameState::FindOrCreateChild(const char* name)
{
    if (!m_root)
        return nullptr;
    TiXmlElement* child = m_root->FirstChildElement(name);
    return child ? child : AppendElement(*m_root, name);
}

std::string cl_GameState::ReadAttribute(const char* element, const char* attribute,
                                        const char* fallback) const
{
    const TiXmlElement* found = FindChild(element);
    const char* value = found ? found->Attribute(attribute) : nullptr;
    return value ? value : fallback;
}

void cl_GameState::WriteAttribute(const char* element, const char* attribute, const std::string& value)
{
    if (TiXmlElement* found = FindOrCreateChild(element))
        found->SetAttribute(attribute, value);
}

TiXmlElement* cl_GameState::FindState(const char* list, const char* kind, const std::string& id)
{
    TiXmlElement* states = m_root ? m_root->FirstChildElement(list) : nullptr;
    return m_indices[list].Find(states, kind, id);
}

TiXmlElement* cl_GameState::AddState(const char* list, const char* kind, const std::string& id)
{
    TiXmlElement* state = AppendElement(*FindOrCreateChild(list), kind);
    state->SetAttribute("idref", id);
    m_indices[list].Appended(state, id);
    return state;
}
