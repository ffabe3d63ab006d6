// A chapter's pool files from arbitrary bytes, loaded by the real loader and then played: a game-state load
// (stop, bind, restore, "game.Started"), frames for the delayed events, a save, every asset's text and tag
// query. Input: up to four parts separated by lines "----": an asset file (items/fuzz.xml), the index file
// (items.xml), a state chart (charts/fuzz.scxml) and a game-state tree. Charts run without a data binding,
// so no Lua from the input runs; the asset ids still reach Lua as global names.
#include "assets/cl_Asset.h"
#include "assets/cl_AssetPool.h"
#include "assets/cl_GameState.h"
#include "assets/cl_ItemPool.h"
#include "assets/cl_PoolManager.h"
#include "common/XmlParse.h"
#include "common/cl_LuaScriptSystem.h"

#include <boost/filesystem/operations.hpp>
#include <tinyxml.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace
{
// The chapter folder the input is written into, removed when the fuzzer ends.
class FuzzChapter
{
public:
    FuzzChapter()
        : m_root(boost::filesystem::temp_directory_path() /
                 boost::filesystem::unique_path("assetpool-fuzz-%%%%-%%%%"))
    {
        for (const char* sub : {"items", "charts"})
            boost::filesystem::create_directories(m_root / sub);
    }
    ~FuzzChapter()
    {
        boost::system::error_code ignored;
        boost::filesystem::remove_all(m_root, ignored);
    }
    FuzzChapter(const FuzzChapter&) = delete;
    FuzzChapter& operator=(const FuzzChapter&) = delete;

    std::string Folder() const { return m_root.string() + "/"; }

private:
    boost::filesystem::path m_root;
};

const std::string& Folder()
{
    static const FuzzChapter chapter;
    static const std::string folder = chapter.Folder();
    return folder;
}

void WriteFile(const std::string& relative, const std::string& text)
{
    std::ofstream(Folder() + relative, std::ios::binary | std::ios::trunc) << text;
}

std::vector<std::string> Parts(const std::string& input)
{
    std::vector<std::string> parts;
    std::string::size_type start = 0;
    const std::string separator = "\n----\n";
    while (parts.size() < 3)
    {
        const std::string::size_type end = input.find(separator, start);
        if (end == std::string::npos)
            break;
        parts.push_back(input.substr(start, end - start));
        start = end + separator.size();
    }
    parts.push_back(input.substr(start));
    parts.resize(4);
    return parts;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TiXmlBase::SetCondenseWhiteSpace(false);
    const std::vector<std::string> parts = Parts(std::string(reinterpret_cast<const char*>(data), size));
    WriteFile("items/fuzz.xml", parts[0]);
    WriteFile("items.xml", parts[1]);
    WriteFile("charts/fuzz.scxml", parts[2]);

    cl_LuaScriptSystem script;
    cl_GameState gameState;
    cl_PoolManager pools{script};
    pools.ReloadPools(Folder(), Folder() + "common/", nullptr);

    TiXmlDocument tree;
    ParseXml(tree, parts[3], "fuzz input");
    TiXmlElement gamestate("gamestate");
    if (const TiXmlElement* root = tree.RootElement())
    {
        for (const TiXmlNode* child = root->FirstChild(); child; child = child->NextSibling())
            gamestate.InsertEndChild(*child);
    }
    gameState.ReplaceTree(gamestate);
    pools.Update(0.5f);
    pools.NotifyGameStateSaving(&gameState);

    std::vector<cl_Asset*> assets;
    pools.GetItemPool()->GetAllAssets(assets);
    for (const cl_Asset* asset : assets)
    {
        pools.GetItemPool()->GetAssetText(asset);
        std::string tags;
        for (const std::string& tag : asset->GetTags())
            tags += tag + " ";
        std::vector<std::string> ids;
        pools.GetTaggedAssets(tags, ids);
    }
    gameState.Clear();
    return 0;
}
