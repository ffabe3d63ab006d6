#include "assets/cl_AssetPool.h"

#include "assets/cl_Asset.h"
#include "assets/cl_AssetLogic.h"
#include "assets/cl_GameState.h"
#include "common/FileHelpers.h"
#include "common/LogCall.h"
#include "common/XmlParse.h"
#include "common/cl_GameTime.h"
#include "statechart/StateChartTemplate.h"

#include <boost/filesystem/operations.hpp>
#include <tinyxml.h>

namespace
{
// Loading lets the game time run a zero step after this many `asset` elements.
constexpr int ELEMENTS_PER_LOADING_UPDATE = 100;

uint32_t Milliseconds()
{
    const cl_GameTime* gameTime = cl_GameTime::GetInstance();
    return gameTime ? gameTime->GetMilliseconds() : 0;
}

void CountLoadedElement(int& counter)
{
    if (++counter <= ELEMENTS_PER_LOADING_UPDATE)
        return;
    counter = 0;
    if (cl_GameTime* gameTime = cl_GameTime::GetInstance())
        gameTime->UpdateWhileLoading();
}

std::string ChapterFolder()
{
    const cl_GameState* gameState = cl_GameState::GetInstance();
    return gameState ? gameState->GetChapterFolder() : std::string();
}

// Reads the file into document; false, logged, when it cannot be read or is no well-formed XML.
bool ReadPoolFile(TiXmlDocument& document, const std::string& path)
{
    if (!LoadXmlFile(document, path))
    {
        LOG_ERROR("The asset file %s cannot be read; its assets are skipped.", path.c_str());
        return false;
    }
    if (document.Error())
    {
        LOG_ERROR("The asset file %s is no well-formed XML (row %i col %i: %s); its assets are skipped.",
                  path.c_str(), document.ErrorRow(), document.ErrorCol(), document.ErrorDesc());
        return false;
    }
    return true;
}
} // namespace

cl_AssetPool::cl_AssetPool(const std::string& name) : m_name(name) {}

cl_AssetPool::~cl_AssetPool()
{
    DeleteAssets();
}

void cl_AssetPool::UpdateElement(TiXmlElement& /*element*/, const cl_Asset& /*asset*/) const {}

std::unique_ptr<cl_Asset> cl_AssetPool::CreateAsset(const TiXmlElement* /*element*/)
{
    return std::make_unique<cl_Asset>();
}

void cl_AssetPool::UpdateAsset(cl_Asset& /*asset*/, const TiXmlElement& /*element*/) {}

void cl_AssetPool::WriteThings(TiXmlElement& parent) const
{
    for (const auto& entry : m_assets)
    {
        if (entry.second->IsThing())
            WriteThing(parent, entry.first, *entry.second);
    }
}

void cl_AssetPool::WriteThing(TiXmlElement& parent, const std::string& id, const cl_Asset& asset) const
{
    auto* thing = new TiXmlElement("thing");
    thing->SetAttribute("name", id);
    thing->SetAttribute("type", asset.GetThingType());
    const std::string text = asset.GetThingText();
    // TinyXML escapes text as it prints it; escaping it here as well would show "&amp;" for "&".
    if (!text.empty())
        thing->LinkEndChild(new TiXmlText(text));
    parent.LinkEndChild(thing);
}

void cl_AssetPool::SaveStates(cl_GameState* gameState)
{
    for (const auto& entry : m_assets)
        entry.second->SaveState(gameState);
}

void cl_AssetPool::LoadAssets(const std::string& folder)
{
    const uint32_t start = Milliseconds();

    const std::string assetFolder = folder + m_name + "/";
    boost::system::error_code error;
    std::vector<std::string> files;
    if (boost::filesystem::is_directory(assetFolder, error))
        ListFilesRecursive(files, assetFolder, ".xml");
    int counter = 0;
    for (const std::string& file : files)
    {
        TiXmlDocument document;
        if (ReadPoolFile(document, file))
            AddAssets(document.FirstChildElement("asset"), file, file, counter);
    }

    const std::string indexFile = folder + m_name + ".xml";
    if (boost::filesystem::exists(indexFile, error))
    {
        TiXmlDocument document;
        const TiXmlElement* root =
            ReadPoolFile(document, indexFile) ? document.FirstChildElement("assetpool") : nullptr;
        int indexCounter = 0;
        if (root)
            AddAssets(root->FirstChildElement("asset"), indexFile, std::string(), indexCounter);
    }

    LOG_INFO("%i %s loaded in %i ms.", static_cast<int>(m_assets.size()), m_name.c_str(),
             static_cast<int>(Milliseconds() - start));
}

void cl_AssetPool::AddAssets(const TiXmlElement* first, const std::string& source,
                             const std::string& sourceFile, int& counter)
{
    for (const TiXmlElement* element = first; element; element = element->NextSiblingElement("asset"))
    {
        if (std::unique_ptr<cl_Asset> asset = CreateFromElement(*element, source, sourceFile))
        {
            asset->SetSourceFile(sourceFile);
            AddAsset(std::move(asset));
        }
        CountLoadedElement(counter);
    }
}

std::unique_ptr<cl_Asset> cl_AssetPool::CreateFromElement(const TiXmlElement& element,
                                                          const std::string& source,
                                                          const std::string& sourceFile)
{
    const char* idAttribute = element.Attribute("id");
    if (!idAttribute)
        return nullptr;
    const std::string id = idAttribute;
    if (const cl_Asset* first = FindAsset(id))
    {
        const std::string firstSource =
            first->GetSourceFile().empty() ? "an index file" : first->GetSourceFile();
        LOG_WARNING("Duplicate asset id '%s' in %s skipped: pool %s keeps the one from %s.", id.c_str(),
                    source.c_str(), m_name.c_str(), firstSource.c_str());
        return nullptr;
    }
    std::unique_ptr<cl_Asset> asset = CreateAsset(&element);
    if (!asset)
        return nullptr;
    asset->SetId(id);
    if (const char* name = element.Attribute("name"))
        asset->SetName(name);

    const TiXmlElement* tags = element.FirstChildElement("tags");
    if (const char* tagText = tags ? tags->GetText() : nullptr)
    {
        for (const std::string& tag : cl_Asset::SplitTags(tagText))
            asset->AddTag(tag);
    }

    if (const TiXmlElement* logicElement = element.FirstChildElement("logic"))
    {
        std::shared_ptr<const StateChartTemplate> chart;
        const char* chartFile = logicElement->Attribute("statechart");
        if (chartFile && *chartFile)
        {
            const std::string chartPath = ChapterFolder() + chartFile;
            chart = StateChartTemplate::LoadShared(chartPath);
            if (!chart)
                LOG_ERROR("Asset '%s' of %s runs without its state chart %s.", id.c_str(),
                          (sourceFile.empty() ? source : sourceFile).c_str(), chartPath.c_str());
        }
        auto logic = std::make_unique<cl_AssetLogic>(std::move(chart), id);
        logic->LoadFromXml(*logicElement);
        asset->SetLogic(std::move(logic));
    }
    return asset;
}

void cl_AssetPool::DeleteAssets()
{
    m_assets.clear();
}

bool cl_AssetPool::AddAsset(std::unique_ptr<cl_Asset> asset)
{
    if (!asset)
        return false;
    const std::string id = asset->GetId();
    if (m_assets.count(id))
    {
        LOG_ERROR("Duplicate id '%s' in AssetPool %s found.", id.c_str(), m_name.c_str());
        return false;
    }
    asset->SetPool(this);
    m_assets.emplace(id, std::move(asset));
    return true;
}

cl_Asset* cl_AssetPool::AddNewAsset(const std::string& id)
{
    if (m_assets.count(id))
        return nullptr;
    std::unique_ptr<cl_Asset> asset = CreateAsset(nullptr);
    if (!asset)
        return nullptr;
    cl_Asset* added = asset.get();
    asset->SetCreatedAtRunTime(true);
    asset->SetId(id);
    asset->SetSourceFile(std::string());
    AddAsset(std::move(asset));
    return added;
}

cl_Asset* cl_AssetPool::FindAsset(const std::string& id) const
{
    const auto found = m_assets.find(id);
    return found != m_assets.end() ? found->second.get() : nullptr;
}

void cl_AssetPool::GetAllAssets(std::vector<cl_Asset*>& assets) const
{
    assets.clear();
    for (const auto& entry : m_assets)
        assets.push_back(entry.second.get());
}

void cl_AssetPool::GetTaggedAssets(const std::vector<std::string>& tags, std::vector<std::string>& ids) const
{
    for (const auto& entry : m_assets)
    {
        if (entry.second->HasTags(tags))
            ids.push_back(entry.first);
    }
}

void cl_AssetPool::BindStates(cl_GameState* gameState)
{
    for (const auto& entry : m_assets)
        entry.second->BindState(gameState);
}

void cl_AssetPool::RestoreStates()
{
    for (const auto& entry : m_assets)
        entry.second->RestoreState();
}

void cl_AssetPool::StopLogics()
{
    for (const auto& entry : m_assets)
        entry.second->StopLogic();
}

void cl_AssetPool::SendGameStarted()
{
    for (const auto& entry : m_assets)
    {
        cl_AssetLogic* logic = entry.second->GetLogic();
        if (logic && logic->HasStateChart())
            logic->SendEvent("game.Started", nullptr);
    }
}

std::string cl_AssetPool::GetAssetText(const cl_Asset* asset) const
{
    if (!asset)
        return std::string();
    TiXmlDocument document;
    TiXmlElement* element = nullptr;
    if (!asset->GetSourceFile().empty() && LoadXmlFile(document, asset->GetSourceFile()) && !document.Error())
    {
        for (element = document.FirstChildElement("asset"); element;
             element = element->NextSiblingElement("asset"))
        {
            const char* id = element->Attribute("id");
            if (id && asset->GetId() == id)
                break;
        }
    }
    if (!element)
    {
        LOG_WARNING("The element of asset '%s' is not in an asset file ('%s'); its text is empty.",
                    asset->GetId().c_str(), asset->GetSourceFile().c_str());
        return std::string();
    }
    UpdateElement(*element, *asset);
    element->RemoveAttribute("hash");
    return PrintXml(document);
}
