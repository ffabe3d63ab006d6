#pragma once

#include "ISingleton.h"
#include "assets/StateElementIndex.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

class IGameStateListener;
class ILoadingProgress;
class TiXmlDocument;
class TiXmlElement;
class TiXmlNode;

// Reloads every asset pool when the chapter changes. The pool manager implements it and registers itself
// with the game state (SetPoolReloader), which asks it from SwitchChapter.
class IPoolReloader
{
public:
    virtual ~IPoolReloader() = default;
    // Loads each pool from the chapter's pool folder, then from the common pool folder; progress is the
    // chapter loading screen, handed on as the chapter loader gave it.
    virtual void ReloadPools(const std::string& chapterFolder, const std::string& commonFolder,
                             ILoadingProgress* progress) = 0;
};

// The whole changeable state of a running game: one XML tree with the root element "gamestate", which save
// games store and a load or a new game replaces. Without a tree (after construction and after Clear) the
// readers return empty strings, and the writers and accessors do nothing and return null.
//
// Elements handed out are owned by the tree: they live until the next Clear or ReplaceTree (listeners are
// told both) or until the game state is destroyed.
class cl_GameState : public ISingleton<cl_GameState>
{
public:
    cl_GameState();
    ~cl_GameState() override;

    // Listeners are not owned; each registers once and removes itself before it is destroyed. They are told
    // in registration order; one that is removed while others are being told is not told any more.
    void AddListener(IGameStateListener* listener);
    // Removes every entry of the listener.
    void RemoveListener(IGameStateListener* listener);
    // The pool manager; not owned, null when there is none. It must unregister (null) before it is destroyed.
    void SetPoolReloader(IPoolReloader* reloader) { m_poolReloader = reloader; }

    // Deletes the tree, then tells every listener that it was cleared.
    void Clear();
    // Reloads the pools for another chapter: does nothing when chapterFolder is the one loaded, else tells
    // every listener that the chapter changes, keeps the folder and has the pool manager reload the pools.
    void SwitchChapter(const std::string& chapterFolder, const std::string& commonFolder,
                       ILoadingProgress* progress);
    // The pool folder of the loaded chapter (ends in "/"), or empty before the first chapter.
    const std::string& GetChapterFolder() const { return m_chapterFolder; }

    // Puts a deep copy of gamestate in place of the tree and tells the listeners (NotifyListeners); the old
    // tree is deleted only afterwards, so that listeners may still let go of it. An element not named
    // "gamestate" is refused with a log line and false.
    bool ReplaceTree(const TiXmlElement& gamestate);
    // As ReplaceTree, without the copy: the game state takes the document, and gamestate, an element
    // inside it (the game of a save file), becomes the tree where it is.
    bool AdoptTree(std::unique_ptr<TiXmlDocument> document, TiXmlElement& gamestate);
    // Tells every listener Loading, then, in a second pass, every listener Loaded.
    void NotifyListeners();
    // Has every listener write what it keeps outside the tree into it (Saving), as a save does first.
    void NotifySaving();
    // The root element "gamestate", or null without a tree. The state lists and their elements are the
    // game state's: a caller may change their content but must remove none of them.
    TiXmlElement* GetRoot() { return m_root; }

    // Readers: empty when the tree, the element or the attribute is missing.
    std::string GetCurrentSceneId() const;
    // "default" when the tree, the element or the attribute is missing.
    std::string GetCurrentBackdrop() const;
    std::string GetCurrentCharacterId() const;
    std::string GetCurrentChapter() const;
    // The text (not the id) of the controlled character's hint: its element under "currenthint" holds a
    // text id, resolved through the pool manager's texts pool. Empty when any step finds nothing.
    std::string GetCurrentHint() const;

    // Writers: create the element when it is missing.
    void SetCurrentSceneId(const std::string& id);
    void SetCurrentBackdrop(const std::string& name);
    void SetCurrentCharacterId(const std::string& id);
    void SetCurrentChapter(const std::string& chapterId);
    // Makes textId the only content of the character's element under "currenthint". The character id
    // becomes an element name, so an id that is no XML name is refused with a log line.
    void SetCurrentHint(const std::string& characterId, const std::string& textId);

    // State elements, found by "idref" (case-sensitive). Item, topic and logic states are created when
    // missing; creating an item state whose id begins with "items", and every topic state, is logged as
    // an error, as the data should have held it.
    TiXmlElement* GetItemState(const std::string& id);
    TiXmlElement* GetTopicState(const std::string& id);
    // Never creates: null when the scene has no state.
    TiXmlElement* GetSceneState(const std::string& id);
    TiXmlElement* GetLogicState(const std::string& id);

    // Children of the root, created when missing.
    TiXmlElement* GetInventoryState() { return FindOrCreateChild("inventory"); }
    TiXmlElement* GetQuestLogState() { return FindOrCreateChild("questlog"); }
    TiXmlElement* GetPartyState() { return FindOrCreateChild("party"); }
    TiXmlElement* GetDataBindingState() { return FindOrCreateChild("databinding"); }
    TiXmlElement* GetCharacterManagerState() { return FindOrCreateChild("charactermanager"); }
    TiXmlElement* GetItemManagerState() { return FindOrCreateChild("itemmanager"); }

private:
    const TiXmlElement* FindChild(const char* name) const;
    TiXmlElement* FindOrCreateChild(const char* name);
    std::string ReadAttribute(const char* element, const char* attribute, const char* fallback) const;
    void WriteAttribute(const char* element, const char* attribute, const std::string& value);
    // The first `kind` child of the first `list` child whose "idref" is id, through the list's index.
    TiXmlElement* FindState(const char* list, const char* kind, const std::string& id);
    // Appends a `kind` element with only "idref" to `list`, creating `list` when missing.
    TiXmlElement* AddState(const char* list, const char* kind, const std::string& id);
    template <class Notify> void TellListeners(const Notify& notify);
    // Makes root, which tree holds (or is), the tree, tells the listeners, then deletes the old tree.
    void PutTree(std::unique_ptr<TiXmlNode> tree, TiXmlElement& root);

    std::string m_chapterFolder;
    // What holds the tree: its root element itself or the document of a save file.
    std::unique_ptr<TiXmlNode> m_tree;
    TiXmlElement* m_root = nullptr;
    // Per list name; cleared whenever the tree goes.
    std::map<std::string, StateElementIndex> m_indices;
    std::vector<IGameStateListener*> m_listeners;
    IPoolReloader* m_poolReloader = nullptr;
};
