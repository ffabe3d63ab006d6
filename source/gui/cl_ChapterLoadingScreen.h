#pragma once

#include "gui/cl_CanvasItem.h"
#include "gui/cl_LoadingScreen.h"

#include <map>
#include <memory>
#include <string>

namespace Ogre
{
class Entity;
class Overlay;
class SceneManager;
class SceneNode;
} // namespace Ogre

class cl_TextureCanvas;

// The page shown while a chapter loads: four background tiles over the window, and in front of them a 3D
// plane carrying a page drawn into a texture with the chapter's illustration, a flavour text that changes
// with the progress, the percentage and a bar. The texture "_LoadingBarRTTTexture" and the material
// "_LoadingBarRTT" outlive the screen; the next chapter load exchanges only the illustration.
class cl_ChapterLoadingScreen : public cl_LoadingScreen
{
public:
    // The bar's width on the page at the full progress.
    static constexpr float BAR_WIDTH = 0.61035f;

    // The page is built in sceneManager (not owned; it holds the camera "loadingscreencam"). The page
    // shows the illustration texture; the chapter's title and subtitle are not shown.
    cl_ChapterLoadingScreen(const std::string& title, Ogre::SceneManager* sceneManager,
                            const std::string& subtitle, const std::string& illustration);
    // OnEnd, when the user has not called it.
    ~cl_ChapterLoadingScreen() override;

    // Builds the tiles, the plane and the page, and draws the page. Art nobody shipped (a tile's material,
    // the plane's mesh) is logged and left out; an overlay of the screen's name that exists already is
    // logged as "Cannot create loading overlay" and the tiles are left out. Loading goes on either way.
    void OnStart() override;
    // Draws the page, then lets the sounds of the zero-time list go on.
    void OnProgress() override;
    void OnCaptionChanged() override {}
    // Takes the tiles, the plane and the canvas down.
    void OnEnd() override;

    // The flavour text's number for a progress: 1 up to 0.3, 2 up to 0.6, 3 up to 0.95, then 4.
    static int FlavourNumber(float progress);
    // "%i%%" of the whole per cent of the progress ("99%" at 0.999).
    static std::string PercentageText(float progress);

    // The page's items by name ("bar", "info", "percentage"), as last drawn.
    const std::map<std::string, cl_CanvasItem>& GetItems() const { return m_items; }

private:
    void CreateTiles();
    void SetUpCamera();
    void CreatePageMaterial();
    void CreatePlane();
    void SetUpItems();
    void DrawPage();

    Ogre::SceneManager* m_sceneManager;
    Ogre::Overlay* m_overlay = nullptr;
    std::unique_ptr<cl_TextureCanvas> m_canvas;
    Ogre::SceneNode* m_planeNode = nullptr;
    Ogre::Entity* m_plane = nullptr;
    std::map<std::string, cl_CanvasItem> m_items;
    std::string m_illustration;
};
