#pragma once

#include "common/ITarqdataParser.h"
#include "common/cl_ParserRegistration.h"

#include <string>

namespace Ogre
{
class SceneManager;
}

// The main menu with its pages, shown in a scene manager of its own; parser of the data-file element
// `mainmenu`.
class cl_MainMenu : public ITarqdataParser
{
public:
    cl_MainMenu();

    // Menu definitions are not kept yet: both do nothing.
    void ParseElement(const TiXmlElement* element, const std::string& group, bool skip) override;
    void UnloadGroup(const std::string& group) override;

    // Builds the menu's scene and shows the page (the empty name: the first page).
    void CreateScene(const std::string& page);
    // Takes the menu's scene down; nothing happens when it is not shown.
    void DestroyScene();
    bool IsShown() const { return m_shown; }

    // Input while the menu is shown, from the GUI system, and its frame. The menu's pages do not react
    // yet: all do nothing.
    // x, y: the mouse from 0 to 1 across the window; wheel: the wheel's movement (OIS's units).
    virtual void OnMouseMoved(float /*x*/, float /*y*/, float /*wheel*/) {}
    // button: OIS's mouse-button number.
    virtual void OnMouseReleased(int /*button*/) {}
    // key: OIS's key code.
    virtual void OnKeyPressed(int /*key*/) {}
    // Text the player typed (UTF-8) for the text entry.
    virtual void AddText(const std::string& /*text*/) {}
    virtual void Update(float /*dt*/) {}

    // The scene manager the menu's scene is built in ("sm_menu"); not owned.
    void SetMenuSceneManager(Ogre::SceneManager* sceneManager) { m_sceneManager = sceneManager; }
    Ogre::SceneManager* GetMenuSceneManager() const { return m_sceneManager; }

private:
    Ogre::SceneManager* m_sceneManager = nullptr;
    bool m_shown = false;
    cl_ParserRegistration m_mainMenuParser;
};
