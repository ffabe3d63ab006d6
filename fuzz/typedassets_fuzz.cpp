// Pool entries of every asset type, a game state for them and a leaf-id file, all from one input: the
// type data of pool files, the state their assets read and edit, and the leaf ids are written by hand.
// Top-level `asset` elements (and those of `assetpool` elements) go to every typed pool; a `gamestate`
// element becomes the tree the assets bind; the whole input is also read as a leaf-id file.
#include "assets/cl_CharacterAsset.h"
#include "assets/cl_CharacterPool.h"
#include "assets/cl_GameState.h"
#include "assets/cl_ItemAsset.h"
#include "assets/cl_PoolManager.h"
#include "assets/cl_SceneAsset.h"
#include "assets/cl_SpokentextPool.h"
#include "assets/cl_TextPool.h"
#include "assets/cl_TopicAsset.h"
#include "assets/cl_TopicPool.h"
#include "common/XmlParse.h"
#include "common/cl_CommandDistributor.h"

#include <OgreDataStream.h>
#include <tinyxml.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace
{
// Every pool makes an asset of the element; the first of an id stays.
void AddToEveryPool(const cl_PoolManager& pools, const TiXmlElement& element)
{
    const char* id = element.Attribute("id");
    if (!id)
        return;
    for (cl_AssetPool* pool : pools.GetPools())
    {
        if (pool->FindAsset(id))
            continue;
        std::unique_ptr<cl_Asset> asset = pool->CreateAsset(&element);
        asset->SetId(id);
        pool->AddAsset(std::move(asset));
    }
}

void Exercise(cl_Asset& asset, const cl_Asset* other)
{
    asset.GetThingText();
    if (auto* item = dynamic_cast<cl_ItemAsset*>(&asset))
    {
        item->AllowsInteraction();
        item->GetCurrentMouseOverTextId(nullptr);
        item->GetCurrentMouseOverTextId(other);
        item->GetInteractionSequence("talk");
        item->GetUsedBySequence(other);
        item->SetCurrentMouseOverText("", other->GetId(), "");
        item->SetUsedByInteractionSequence(other->GetId(), "s", "c");
    }
    if (auto* character = dynamic_cast<cl_CharacterAsset*>(&asset))
    {
        std::vector<cl_TopicAsset*> topics;
        character->GetActiveTopics(nullptr, other->GetId(), topics);
        for (cl_TopicAsset* topic : topics)
            character->CountActiveSubTopics(topic, other->GetId());
    }
    if (auto* topic = dynamic_cast<cl_TopicAsset*>(&asset))
    {
        topic->SetActive(!topic->IsActive());
        topic->NotifyChoosen();
    }
    if (auto* scene = dynamic_cast<cl_SceneAsset*>(&asset))
    {
        scene->AddSceneObject(other->GetId(), "here");
        scene->AddPuppet(other->GetId(), "there");
        scene->FindObjectLocation(other->GetId());
        scene->RemoveSceneObject(other->GetId());
        scene->AddAtmoObject(other->GetId());
        scene->SetNavMesh(scene->GetNavMesh() + "x");
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TiXmlBase::SetCondenseWhiteSpace(false);
    std::string input(reinterpret_cast<const char*>(data), size);
    cl_GameState gameState;
    cl_CommandDistributor distributor;
    cl_PoolManager pools(distributor);

    Ogre::MemoryDataStream leafIds("fuzz.txt", input.data(), input.size());
    pools.GetSpokentextPool()->LoadLeafIds(leafIds);

    TiXmlDocument document;
    ParseXml(document, input, "fuzz input");
    const TiXmlElement* tree = nullptr;
    for (const TiXmlElement* element = document.FirstChildElement(); element;
         element = element->NextSiblingElement())
    {
        const std::string name = element->Value();
        if (name == "asset")
            AddToEveryPool(pools, *element);
        else if (name == "assetpool")
        {
            for (const TiXmlElement* asset = element->FirstChildElement("asset"); asset;
                 asset = asset->NextSiblingElement("asset"))
                AddToEveryPool(pools, *asset);
        }
        else if (name == "gamestate" && !tree)
            tree = element;
    }
    if (tree)
        gameState.ReplaceTree(*tree);

    std::vector<cl_Asset*> all;
    for (cl_AssetPool* pool : pools.GetPools())
    {
        std::vector<cl_Asset*> assets;
        pool->GetAllAssets(assets);
        all.insert(all.end(), assets.begin(), assets.end());
    }
    for (size_t index = 0; index < all.size(); ++index)
        Exercise(*all[index], all[(index + 1) % all.size()]);
    for (const cl_Asset* asset : all)
    {
        pools.GetTextPool()->GetText(asset->GetId());
        pools.GetSpokentextPool()->GetText(asset->GetId());
    }
    if (tree)
        pools.NotifyGameStateSaving(&gameState);
    // The characters go first, as when the pool manager goes: their topics must forget them.
    pools.GetCharacterPool()->DeleteAssets();
    std::vector<cl_Asset*> topics;
    pools.GetTopicPool()->GetAllAssets(topics);
    for (cl_Asset* topic : topics)
        dynamic_cast<cl_TopicAsset&>(*topic).SetActive(true);
    return 0;
}
