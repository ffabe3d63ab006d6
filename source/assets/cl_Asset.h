#pragma once

#include "common/cl_Argument.h"

#include <memory>
#include <string>
#include <vector>

class cl_AssetLogic;
class cl_AssetPool;
class cl_GameState;

// A game object the data defines: an id unique within its pool, a name, tags and an optional logic (a
// state chart with parameters and triggers). The typed assets (items, characters, scenes, ...) derive from
// it; each kind lives in one cl_AssetPool, which owns it.
class cl_Asset
{
public:
    cl_Asset();
    virtual ~cl_Asset();

    cl_Asset(const cl_Asset&) = delete;
    cl_Asset& operator=(const cl_Asset&) = delete;

    // The type word: "asset" here, "item", "character", "scene", ... in the typed assets.
    virtual std::string GetType() const;
    // Writes the logic's active states and histories into the game-state element it is bound to; nothing
    // without a logic.
    virtual void SaveState(cl_GameState* gameState);
    // Binds the logic to its "logic" element of the game state; nothing without a logic. Typed assets
    // that keep state of their own look up their element first. A null game state (the tree was
    // cleared) lets go of every element taken from the old tree.
    virtual void BindState(cl_GameState* gameState);
    // Starts the logic from what it is bound to (saved states, else the chart's initial state).
    virtual void RestoreState();
    // Stops the logic's chart; nothing when it is not started.
    virtual void StopLogic();
    // What the asset is as a "thing" of the game state's thing list; empty when it is none.
    virtual std::string GetThingType() const;
    // The text written with the thing; empty here.
    virtual std::string GetThingText() const;
    // Whether the pool writes the asset into the thing list (WriteThings).
    virtual bool IsThing() const;

    // Sets the id and the event-data argument that carries it.
    void SetId(const std::string& id);
    const std::string& GetId() const { return m_id; }
    // The id as a string argument, handed as event data for events that concern this asset.
    const cl_Argument& GetIdArgument() const { return m_idArgument; }

    void SetName(const std::string& name) { m_name = name; }
    const std::string& GetName() const { return m_name; }

    // The asset file the asset was read from; empty for index-file and run-time assets.
    void SetSourceFile(const std::string& path) { m_sourceFile = path; }
    const std::string& GetSourceFile() const { return m_sourceFile; }

    // Made by cl_AssetPool::AddNewAsset rather than read from a file.
    void SetCreatedAtRunTime(bool created) { m_createdAtRunTime = created; }
    bool IsCreatedAtRunTime() const { return m_createdAtRunTime; }

    // The logic, owned; null when the asset's element had no "logic" child.
    void SetLogic(std::unique_ptr<cl_AssetLogic> logic);
    cl_AssetLogic* GetLogic() const { return m_logic.get(); }

    // The pool the asset was added to (not owned); null before that.
    void SetPool(cl_AssetPool* pool) { m_pool = pool; }
    cl_AssetPool* GetPool() const { return m_pool; }

    // Appends the tag unless the asset already has an equal one.
    void AddTag(const std::string& tag);
    const std::vector<std::string>& GetTags() const { return m_tags; }
    // Whether every one of the tags is the asset's; false for an empty list.
    bool HasTags(const std::vector<std::string>& tags) const;

    // Cuts a tag text into tags at single spaces. Two spaces in a row, a leading space or a trailing
    // space end the cutting: what follows the first of them is one last tag as it stands ("a  b c" gives
    // "a" and "b c"; "a " gives "a" and ""). An empty text gives no tags.
    static std::vector<std::string> SplitTags(const std::string& text);

private:
    cl_Argument m_idArgument;
    bool m_createdAtRunTime = false;
    std::string m_id;
    std::string m_name;
    std::string m_sourceFile;
    std::unique_ptr<cl_AssetLogic> m_logic;
    cl_AssetPool* m_pool = nullptr;
    std::vector<std::string> m_tags;
};
