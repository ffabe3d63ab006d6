#include "support/MenuWorld.h"

#include "assets/cl_GameState.h"
#include "common/cl_Config.h"
#include "common/cl_TarqdataLoader.h"
#include "gamecomponents/cl_SaveGameManager.h"
#include "graphics/cl_SceneManager.h"
#include "gui/cl_MainMenu.h"

#include <gtest/gtest.h>

#include <boost/filesystem/operations.hpp>
#include <tinyxml.h>

#include <fstream>
#include <iterator>

MenuWorld::MenuWorld()
{
    std::ifstream demo("data/common/quillmere.tdf");
    const std::string data((std::istreambuf_iterator<char>(demo)), std::istreambuf_iterator<char>());
    cl_TarqdataLoader& loader = *cl_TarqdataLoader::GetInstance();
    loader.ParseTdf("GAMEDATA", data, "quillmere.tdf", false);
    std::ifstream scenes("data/chapter1/scenes.tdf");
    loader.ParseTdf("CHAPTERDATA",
                    std::string((std::istreambuf_iterator<char>(scenes)), std::istreambuf_iterator<char>()),
                    "scenes.tdf", false);
    loader.ParseTdf("GAMEDATA",
                    "<tarqdata><language><tokens>_empty_slot|Leerer Platz\n_resume_game|Weiterspielen\n"
                    "_difficulty_normal|Normal\n_difficulty_hard|Schwer\n</tokens></language></tarqdata>",
                    "menu.tdf", false);
    cl_GameState::GetInstance()->SwitchChapter(cl_Config::GetInstance()->GetPimbDataPath() + "chapter1/", "",
                                               nullptr);
    loader.SetCurrentChapterId("chapter1");
    cl_SceneManager::GetInstance()->CreateCurtain(nullptr, nullptr);
}

void MenuWorld::Load(cl_MainMenu& menu, const std::string& xml)
{
    TiXmlDocument document;
    document.Parse(xml.c_str());
    ASSERT_FALSE(document.Error()) << xml;
    menu.ParseElement(document.RootElement(), "INTERFACEDATA", false);
}

void MenuWorld::AddSaveGames(int count)
{
    const std::string folder = game.UserFile("savegames");
    boost::filesystem::create_directories(folder);
    for (int number = 0; number < count; ++number)
    {
        std::ofstream(folder + "/savegame" + std::to_string(number) + ".tsg")
            << "<savegame version=\"1.03\"><name>Spiel " << number
            << "</name><chapter>chapter1</chapter><section>turm</section><datetime>"
            << 1700000000 - number * 60 << "</datetime><played>" << 3600 + number * 60
            << "</played><gamestate/></savegame>";
    }
    Saves().ScanSaveGames();
}
