#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

class TiXmlElement;
class cl_Asset;
class cl_GameState;

// The assets of one kind, keyed by id (byte-wise order), owned by the pool. A pool loads from its folder
// of the chapter (the ".xml" asset files below "<folder><name>/", each holding top-level `asset`
// elements) and from the index file "<folder><name>.xml" (root `assetpool`). The pool's name is the
// folder and index-file name: "items", "texts", "scenes", ...
//
// The typed pools override CreateAsset (and UpdateAsset, where their assets read type data) to make the
// assets of their class; this base makes plain assets.
class cl_AssetPool
{
public:
    explicit cl_AssetPool(const std::string& name);
    virtual ~cl_AssetPool();

    cl_AssetPool(const cl_AssetPool&) = delete;
    cl_AssetPool& operator=(const cl_AssetPool&) = delete;

    // Writes the asset's current data into its element of the asset file before GetAssetText prints it.
    // Does nothing here.
    virtual void UpdateElement(TiXmlElement& element, const cl_Asset& asset) const;
    // A new asset of the pool's class, with the type data of element read in (element is null for an
    // asset made at run time); null when none can be made. Id, name, tags and logic are the pool's to set.
    virtual std::unique_ptr<cl_Asset> CreateAsset(const TiXmlElement* element);
    // Reads the type data of element into the asset (of the pool's class). Does nothing here.
    virtual void UpdateAsset(cl_Asset& asset, const TiXmlElement& element);
    // WriteThing for every asset, in id order, that is a thing.
    virtual void WriteThings(TiXmlElement& parent) const;
    // Appends <thing name="id" type="..."> to parent, with the asset's thing text, if any, as its text.
    virtual void WriteThing(TiXmlElement& parent, const std::string& id, const cl_Asset& asset) const;
    // Every asset, in id order, writes its state into the game state.
    virtual void SaveStates(cl_GameState* gameState);

    const std::string& GetName() const { return m_name; }

    // Adds the assets of the pool's asset files below "<folder><name>/" (sorted by path, through
    // sub-folders), then those of the index file "<folder><name>.xml". The first asset read with an id
    // stays; a later one with that id is skipped with a warning naming both sources. A file that is no
    // well-formed XML is skipped as a whole with an error log; a missing folder or index file is no fault.
    // An asset whose chart cannot be loaded is kept without a chart, with an error log.
    void LoadAssets(const std::string& folder);
    // Deletes every asset (their logics stop).
    void DeleteAssets();
    // Adds the asset under its id and makes this its pool. A null asset is ignored; an id the pool has
    // already is refused with an error log, and the asset is deleted. True when added.
    bool AddAsset(std::unique_ptr<cl_Asset> asset);
    // Makes and adds an asset of the pool's class with the id, marked as made at run time. Null when the
    // pool has the id already or cannot make an asset without an element.
    cl_Asset* AddNewAsset(const std::string& id);
    // Null when the pool has no asset with the id.
    cl_Asset* FindAsset(const std::string& id) const;
    // Replaces the content of assets with every asset of the pool, in id order.
    void GetAllAssets(std::vector<cl_Asset*>& assets) const;
    // Appends, in id order, the id of every asset that has all of the tags (none for an empty list).
    void GetTaggedAssets(const std::vector<std::string>& tags, std::vector<std::string>& ids) const;

    // Every asset, in id order: binds its state (a null game state unbinds), restores it, stops its logic.
    void BindStates(cl_GameState* gameState);
    void RestoreStates();
    void StopLogics();
    // Sends "game.Started", without data, to every asset logic that has a chart.
    void SendGameStarted();

    // The whole asset file of the asset as text, its element brought up to date (UpdateElement) and
    // without its "hash" attribute. Empty, with a warning, when the asset is null, comes from no asset
    // file, or its element is no longer in the file.
    std::string GetAssetText(const cl_Asset* asset) const;

private:
    // Makes the asset an `asset` element describes, or null (no id, an id the pool has, no asset made).
    // source names the file in log lines; sourceFile is what the asset keeps as its source file.
    std::unique_ptr<cl_Asset> CreateFromElement(const TiXmlElement& element, const std::string& source,
                                                const std::string& sourceFile);
    // Creates and adds the assets of the `asset` elements from first on; counts them for the loading
    // updates.
    void AddAssets(const TiXmlElement* first, const std::string& source, const std::string& sourceFile,
                   int& counter);

    std::map<std::string, std::unique_ptr<cl_Asset>> m_assets;
    std::string m_name;
};
