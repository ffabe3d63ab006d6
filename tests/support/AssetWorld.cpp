#include "support/AssetWorld.h"

#include "assets/cl_Asset.h"
#include "assets/cl_AssetLogic.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <stdexcept>

AssetWorld::AssetWorld()
{
    // The binding reads both before every run; a fresh Lua state has neither.
    script.ExecuteString("this = '' eventdata = ''");
}

void AssetWorld::LoadChapter(const std::string& chapterFolder, const std::string& commonFolder,
                             ILoadingProgress* progress)
{
    gameState.SwitchChapter(chapterFolder, commonFolder, progress);
}

bool AssetWorld::LoadGameState(const std::string& xml)
{
    TiXmlDocument document;
    document.Parse(xml.c_str());
    const TiXmlElement* root = document.RootElement();
    return root && gameState.ReplaceTree(*root);
}

std::string AssetWorld::SaveGameState()
{
    poolManager.NotifyGameStateSaving(&gameState);
    TiXmlPrinter printer;
    gameState.GetRoot()->Accept(&printer);
    return printer.Str();
}

size_t AssetWorld::PendingEvents()
{
    SaveGameState();
    size_t count = 0;
    for (const TiXmlElement* event = gameState.GetRoot()->FirstChildElement("delayedevent"); event;
         event = event->NextSiblingElement("delayedevent"))
        ++count;
    return count;
}

void AssetWorld::Frames(int count, float dt)
{
    for (int frame = 0; frame < count; ++frame)
        gameTime.Update(dt);
}

cl_Asset& AssetWorld::Asset(const std::string& id)
{
    cl_Asset* asset = poolManager.FindAsset(id);
    if (!asset)
    {
        ADD_FAILURE() << "no asset " << id;
        throw std::runtime_error("no asset " + id);
    }
    return *asset;
}

cl_AssetLogic& AssetWorld::Logic(const std::string& id)
{
    cl_AssetLogic* logic = Asset(id).GetLogic();
    if (!logic)
    {
        ADD_FAILURE() << "no logic for " << id;
        throw std::runtime_error("no logic for " + id);
    }
    return *logic;
}

std::string DemoChapterFolder()
{
    return QUILLMERE_DEMO_DIR "pimb/chapter1/";
}

std::string DemoNewGameState()
{
    return ReadTextFile(DemoChapterFolder() + "gamestate.xml");
}
