#include "common/cl_TarqdataLoader.h"

#include "TarqApp.h"
#include "assets/cl_GameState.h"
#include "assets/cl_PoolManager.h"
#include "assets/cl_SpokentextPool.h"
#include "common/FileHelpers.h"
#include "common/LogCall.h"
#include "common/OgreResources.h"
#include "common/XmlParse.h"
#include "common/cl_ArgList.h"
#include "common/cl_Config.h"
#include "common/cl_Localizer.h"
#include "common/cl_ScriptSystem.h"
#include "graphics/cl_CharacterManager.h"
#include "graphics/cl_ItemManager.h"
#include "graphics/cl_SceneManager.h"
#include "gui/cl_ChapterLoadingScreen.h"
#include "gui/cl_GUISystem.h"

#include <OgreCamera.h>
#include <OgreDataStream.h>
#include <OgreRenderWindow.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreString.h>
#include <OgreViewport.h>
#include <Overlay/OgreOverlaySystem.h>
#include <boost/filesystem/operations.hpp>
#include <tinyxml.h>

#include <algorithm>
#include <utility>

namespace
{
const char* const CHAPTER_GROUP = "CHAPTERDATA";
const char* const SPEECH_GROUP = "SPEACHDATA";
const char* const LOADING_SCENE_MANAGER = "loading_screen";
const char* const DEFAULT_LANGUAGE = "de";

// An archive to add to a resource group: path and OGRE archive type.
using Location = std::pair<std::string, std::string>;

std::string TextOf(const TiXmlElement* element)
{
    const char* text = element ? element->GetText() : nullptr;
    return text ? text : "";
}

std::string AttributeOf(const TiXmlElement& element, const char* name)
{
    const char* value = element.Attribute(name);
    return value ? value : "";
}

// The texts of every child named name, as paths, sorted into archives of type "Zip" and folders.
void ReadLocations(const TiXmlElement& element, const char* name, std::vector<std::string>& folders,
                   std::vector<std::string>& zips)
{
    for (const TiXmlElement* child = element.FirstChildElement(name); child;
         child = child->NextSiblingElement(name))
    {
        std::vector<std::string>& list = AttributeOf(*child, "type") == "Zip" ? zips : folders;
        list.push_back(ForwardSlashes(TextOf(child)));
    }
}

std::vector<std::string> ReadPaths(const TiXmlElement& element, const char* name)
{
    std::vector<std::string> paths;
    for (const TiXmlElement* child = element.FirstChildElement(name); child;
         child = child->NextSiblingElement(name))
        paths.push_back(ForwardSlashes(TextOf(child)));
    return paths;
}

// Creates the group afresh, adds the locations in order, then initialises it (which parses its ".tdf"
// files) and loads it. What OGRE refuses (a missing archive, a broken resource) is logged and passed over.
void LoadResourceGroup(const std::string& group, const std::vector<Location>& locations)
{
    Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
    groups.createResourceGroup(group, true);
    for (const Location& location : locations)
    {
        // OGRE throws for a missing archive and keeps the half-made archive for good: look first.
        boost::system::error_code error;
        if (location.second == "Zip" && !boost::filesystem::is_regular_file(location.first, error))
        {
            LOG_ERROR("Couldn't find the archive '%s' of the resource group '%s'", location.first.c_str(),
                      group.c_str());
            continue;
        }
        try
        {
            groups.addResourceLocation(location.first, location.second, group);
        }
        catch (const Ogre::Exception& exception)
        {
            LOG_ERROR("Couldn't add '%s' to the resource group '%s': %s", location.first.c_str(),
                      group.c_str(), exception.getDescription().c_str());
        }
    }
    try
    {
        groups.initialiseResourceGroup(group);
        groups.loadResourceGroup(group);
    }
    catch (const Ogre::Exception& exception)
    {
        LOG_ERROR("Couldn't load the resource group '%s': %s", group.c_str(),
                  exception.getDescription().c_str());
    }
}

// The in-game menu, or null before the user interface exists.
cl_IngameMenu* IngameMenu()
{
    cl_GUISystem* gui = cl_GUISystem::GetInstance();
    return gui ? &gui->GetIngameMenu() : nullptr;
}

// The "loading_screen" scene manager with its camera, shown in the window's main viewport while it lives;
// the viewport gets its camera back afterwards. The application's camera switch does both (it also clears
// the render queues, whose pass maps must not outlive the passes they point at); a loader used without
// the application switches the viewport itself.
class LoadingScene
{
public:
    LoadingScene(Ogre::Root& root, Ogre::Viewport* viewport) : m_root(root), m_viewport(viewport)
    {
        m_sceneManager = root.createSceneManager(Ogre::DefaultSceneManagerFactory::FACTORY_TYPE_NAME,
                                                 LOADING_SCENE_MANAGER);
        Ogre::Camera* camera = m_sceneManager->createCamera("loadingscreencam");
        camera->setFOVy(Ogre::Degree(45.0f));
        camera->setNearClipDistance(5.0f);
        Ogre::SceneNode* node = m_sceneManager->getRootSceneNode()->createChildSceneNode();
        node->attachObject(camera);
        node->setPosition(0.0f, 0.0f, 1.0f);
        node->lookAt(Ogre::Vector3::ZERO, Ogre::Node::TS_WORLD);
        if (m_application)
        {
            m_application->SetCamera(camera);
        }
        else if (m_viewport)
        {
            m_previousCamera = m_viewport->getCamera();
            m_viewport->setCamera(camera);
        }
        m_sceneManager->setAmbientLight(Ogre::ColourValue(1.0f, 1.0f, 1.0f, 1.0f));
        // The screen's tiles are overlays, drawn only in scene managers that the overlay system listens to.
        if (Ogre::OverlaySystem* overlays = OverlaySystem())
            m_sceneManager->addRenderQueueListener(overlays);
    }
    ~LoadingScene()
    {
        if (Ogre::OverlaySystem* overlays = OverlaySystem())
            m_sceneManager->removeRenderQueueListener(overlays);
        if (m_application)
            m_application->RestorePreviousCamera();
        else if (m_viewport)
            m_viewport->setCamera(m_previousCamera);
        m_root.destroySceneManager(m_sceneManager);
    }
    LoadingScene(const LoadingScene&) = delete;
    LoadingScene& operator=(const LoadingScene&) = delete;

    Ogre::SceneManager* GetSceneManager() const { return m_sceneManager; }

private:
    Ogre::OverlaySystem* OverlaySystem() const
    {
        return m_application ? m_application->GetOverlaySystem() : nullptr;
    }

    Ogre::Root& m_root;
    Ogre::Viewport* m_viewport;
    TarqApp* const m_application = dynamic_cast<TarqApp*>(BaseApplication::GetInstance());
    Ogre::SceneManager* m_sceneManager = nullptr;
    Ogre::Camera* m_previousCamera = nullptr;
};
} // namespace

cl_TarqdataLoader::cl_TarqdataLoader() : m_scriptPatterns{"*.tdf"}
{
    RegisterParser("chapterdata", this);
}

cl_TarqdataLoader::~cl_TarqdataLoader()
{
    if (Ogre::ResourceGroupManager* groups = Ogre::ResourceGroupManager::getSingletonPtr())
        groups->_unregisterScriptLoader(this);
}

void cl_TarqdataLoader::RegisterParser(const std::string& name, ITarqdataParser* parser)
{
    m_parsers[name] = parser;
}

void cl_TarqdataLoader::UnregisterParser(const std::string& name, const ITarqdataParser* parser)
{
    const auto found = m_parsers.find(name);
    if (found != m_parsers.end() && found->second == parser)
        m_parsers.erase(found);
}

const Ogre::StringVector& cl_TarqdataLoader::getScriptPatterns() const
{
    return m_scriptPatterns;
}

Ogre::Real cl_TarqdataLoader::getLoadingOrder() const
{
    return m_loadingOrder;
}

void cl_TarqdataLoader::parseScript(Ogre::DataStreamPtr& stream, const Ogre::String& groupName)
{
    ParseTdf(groupName, stream->getAsString(), stream->getName(), false);
}

bool cl_TarqdataLoader::ParseTdf(const std::string& group, const std::string& text,
                                 const std::string& fileName, bool skip)
{
    TiXmlDocument document;
    ParseXml(document, text, fileName);
    if (document.Error())
        LOG_ERROR("A parse error occured in '%s' in row %i col %i: %s", fileName.c_str(), document.ErrorRow(),
                  document.ErrorCol(), document.ErrorDesc());

    const TiXmlElement* root = nullptr;
    for (const TiXmlNode* node = document.FirstChild(); node && !root; node = node->NextSibling())
    {
        if (node->ValueStr() == "tarqdata")
            root = node->ToElement();
    }
    if (!root)
        return true;

    for (const TiXmlElement* child = root->FirstChildElement(); child; child = child->NextSiblingElement())
    {
        const auto found = m_parsers.find(child->ValueStr());
        if (found != m_parsers.end())
            found->second->ParseElement(child, group, skip);
    }
    return true;
}

void cl_TarqdataLoader::ParseElement(const TiXmlElement* element, const std::string& group, bool skip)
{
    if (skip || !element)
        return;
    const std::string id = AttributeOf(*element, "id");
    if (id.empty())
    {
        LOG_WARNING("A chapterdata element without id in the group '%s' was ignored", group.c_str());
        return;
    }

    cl_Chapter chapter;
    chapter.m_pimbData = ForwardSlashes(TextOf(element->FirstChildElement("pimbdata")));
    ReadLocations(*element, "resourcelocation", chapter.m_resourceLocations, chapter.m_resourceLocationsZip);
    ReadLocations(*element, "speachlocation", chapter.m_speechLocations, chapter.m_speechLocationsZip);
    const TiXmlElement* startScene = element->FirstChildElement("startscene");
    chapter.m_startScene = TextOf(startScene);
    chapter.m_title = AttributeOf(*element, "title");
    chapter.m_subtitle = AttributeOf(*element, "subtitle");
    chapter.m_illuName = AttributeOf(*element, "illuname");
    chapter.m_startSceneIsScript = startScene && AttributeOf(*startScene, "isscript") == "true";
    chapter.m_languageFiles = ReadPaths(*element, "language");
    chapter.m_leafIdFiles = ReadPaths(*element, "leafids");
    m_chapters[id] = std::move(chapter);
}

void cl_TarqdataLoader::UnloadGroup(const std::string&) {}

const cl_Chapter& cl_TarqdataLoader::GetChapter(const std::string& id) const
{
    const auto found = m_chapters.find(id);
    return found == m_chapters.end() ? m_emptyChapter : found->second;
}

void cl_TarqdataLoader::GetChapterIds(std::vector<std::string>& ids) const
{
    for (const auto& chapter : m_chapters)
        ids.push_back(chapter.first);
}

std::string cl_TarqdataLoader::GetChapterDataFile(const std::string& id) const
{
    const auto found = m_chapters.find(id);
    if (found == m_chapters.end())
        return std::string();
    const cl_Config* config = cl_Config::GetInstance();
    return (config ? config->GetPimbDataPath() : std::string()) + found->second.m_pimbData;
}

std::string cl_TarqdataLoader::GetStartScene(const std::string& id) const
{
    const cl_Chapter& chapter = GetChapter(id);
    if (!chapter.m_startSceneIsScript)
        return chapter.m_startScene;

    cl_ScriptSystem* scripts = cl_ScriptSystem::GetInstance();
    if (!scripts)
    {
        LOG_ERROR("There is no script system to run the start scene of the chapter '%s'", id.c_str());
        return std::string();
    }
    // A script that fails half-way still leaves the results it gave until then.
    cl_ArgList results;
    scripts->ExecuteString(chapter.m_startScene, results);
    for (int index = 0; index < results.GetSize(); ++index)
    {
        const cl_Argument* result = results.GetArg(index);
        if (result->GetType() == cl_Argument::TYPE_STRING)
            return result->GetString();
    }
    return std::string();
}

void cl_TarqdataLoader::LoadChapter(const std::string& id)
{
    Ogre::Root* root = Ogre::Root::getSingletonPtr();
    Ogre::RenderWindow* window = root ? root->getAutoCreatedWindow() : nullptr;
    if (!window)
    {
        LOG_ERROR("Couldn't load the chapter '%s': there is no render window", id.c_str());
        return;
    }

    cl_IngameMenu* menu = IngameMenu();
    const bool drawsPointer = menu && !menu->HasHardwareCursor();
    if (drawsPointer)
        menu->HideMouse();
    WriteToOgreLog("LoadChapter");
    {
        LoadingScene loadingScene(*root, window->hasViewportWithZOrder(0) ? window->getViewportByZOrder(0)
                                                                          : nullptr);
        if (menu && menu->GetPartyGui().IsShown())
            menu->GetPartyGui().Hide();

        // A copy: the chapter's own data files may hold a new record of the same id.
        const cl_Chapter chapter = GetChapter(id);
        {
            const cl_Localizer* localizer = cl_Localizer::GetInstance();
            cl_ChapterLoadingScreen screen(chapter.m_title, loadingScene.GetSceneManager(),
                                           localizer ? localizer->FindToken(chapter.m_subtitle)
                                                     : chapter.m_subtitle,
                                           chapter.m_illuName);
            screen.SetRenderWindow(window);
            screen.SetShares(0.5f, 2, 2, 1);
            screen.OnStart();
            window->update(true);
            Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
            groups.addResourceGroupListener(&screen);
            LoadChapterData(chapter, screen);
            screen.OnEnd();
            screen.SetRenderWindow(nullptr);
            groups.removeResourceGroupListener(&screen);
        }
        WriteToOgreLog("Loading Done");
    }
    if (drawsPointer)
        menu->ShowMouse();
}

bool cl_TarqdataLoader::UnloadChapter(const std::string& id)
{
    if (id.empty())
        return false;
    WriteToOgreLog("UnloadChapter");

    if (cl_SceneManager* scenes = cl_SceneManager::GetInstance())
        scenes->UnloadScene();
    if (cl_ItemManager* items = cl_ItemManager::GetInstance())
        items->UnloadItems();
    if (cl_CharacterManager* characters = cl_CharacterManager::GetInstance())
        characters->UnloadCharacters();

    UnloadResourceGroup(CHAPTER_GROUP);
    UnloadResourceGroup(SPEECH_GROUP);
    LOG_INFO("Unloaded chapter.");
    return true;
}

void cl_TarqdataLoader::CloseChapter()
{
    if (!m_currentChapterId.empty())
        UnloadChapter(m_currentChapterId);
    m_currentChapterId.clear();
    if (cl_GameState* gameState = cl_GameState::GetInstance())
        gameState->Clear();
}

void cl_TarqdataLoader::LoadChapterData(const cl_Chapter& chapter, ILoadingProgress& progress)
{
    const cl_Config* config = cl_Config::GetInstance();
    const std::string gameData = config ? config->GetGameDataPath() : std::string();
    const std::string pimbData = config ? config->GetPimbDataPath() : std::string();
    std::string language = config ? config->GetValue("language") : std::string();
    if (language.empty())
        language = DEFAULT_LANGUAGE;
    const std::string speech = Ogre::StringUtil::standardisePath(gameData + "lang/" + language);

    if (cl_GameState* gameState = cl_GameState::GetInstance())
        gameState->SwitchChapter(pimbData + chapter.m_pimbData + "/", pimbData + "common/", &progress);

    // Groups left over from a chapter that was never unloaded would make creating them fail.
    for (const char* group : {CHAPTER_GROUP, SPEECH_GROUP})
    {
        if (Ogre::ResourceGroupManager::getSingleton().resourceGroupExists(group))
        {
            LOG_WARNING("The resource group '%s' was still there and is unloaded first", group);
            UnloadResourceGroup(group);
        }
    }

    std::vector<Location> speechLocations;
    for (const std::string& entry : chapter.m_speechLocationsZip)
        speechLocations.emplace_back(speech + entry, "Zip");
    for (const std::string& entry : chapter.m_speechLocations)
        speechLocations.emplace_back(speech + entry, "FileSystem");
    LoadResourceGroup(SPEECH_GROUP, speechLocations);

    std::vector<Location> chapterLocations;
    for (const std::string& entry : chapter.m_resourceLocationsZip)
        chapterLocations.emplace_back(gameData + entry, "Zip");
    for (const std::string& entry : chapter.m_resourceLocations)
    {
        chapterLocations.emplace_back(gameData + entry, "FileSystem");
        chapterLocations.emplace_back(speech + entry, "FileSystem");
    }
    LoadResourceGroup(CHAPTER_GROUP, chapterLocations);

    if (cl_CharacterManager* characters = cl_CharacterManager::GetInstance())
        characters->LoadChapterCharacters();

    if (cl_Localizer* localizer = cl_Localizer::GetInstance())
    {
        for (const std::string& file : chapter.m_languageFiles)
        {
            if (const Ogre::DataStreamPtr stream =
                    OpenResource(file, Ogre::ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME))
                localizer->LoadTokens(*stream);
        }
    }
    if (cl_PoolManager* pools = cl_PoolManager::GetInstance())
    {
        for (const std::string& file : chapter.m_leafIdFiles)
        {
            if (const Ogre::DataStreamPtr stream =
                    OpenResource(file, Ogre::ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME))
                pools->GetSpokentextPool()->LoadLeafIds(*stream);
        }
    }
}

void cl_TarqdataLoader::UnloadResourceGroup(const std::string& group)
{
    // A parser registered under several names is told once.
    std::vector<ITarqdataParser*> parsers;
    for (const auto& entry : m_parsers)
    {
        if (std::find(parsers.begin(), parsers.end(), entry.second) == parsers.end())
            parsers.push_back(entry.second);
    }
    for (ITarqdataParser* parser : parsers)
        parser->UnloadGroup(group);

    Ogre::ResourceGroupManager* groups = Ogre::ResourceGroupManager::getSingletonPtr();
    if (groups && groups->resourceGroupExists(group))
    {
        groups->unloadResourceGroup(group, false);
        groups->destroyResourceGroup(group);
    }
}
