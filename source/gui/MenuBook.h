#pragma once

#include <OgreVector.h>

#include <memory>
#include <string>
#include <vector>

namespace Ogre
{
class AnimationState;
class Camera;
class Entity;
class SceneManager;
} // namespace Ogre

class cl_Backdrop;
class cl_LightPatch;

// The main menu's 3D book: the camera "MenuCam", the four page surfaces with their render textures, and,
// while the menu scene exists, the five page meshes, the painted backdrop with its flickering light, the
// opening zoom and the page flips. The main menu draws the pages and decides what opens; the book shows
// it and tells which page and which point of it lies under the mouse.
class MenuBook
{
public:
    // Stack positions of the page stack, each seen through one page surface.
    static const int PAGE_POSITIONS = 4;
    // The zoom of the closed book and of the open one.
    static constexpr float CLOSED_ZOOM = 0.79f;
    static constexpr float OPEN_ZOOM = 0.5f;

    MenuBook();
    // Destroy, then the camera.
    ~MenuBook();
    MenuBook(const MenuBook&) = delete;
    MenuBook& operator=(const MenuBook&) = delete;

    // Once, in the menu's scene manager (not owned; it outlives the book): the camera and the four page
    // materials "_MainMenuPage%i" with their render textures "_MainMenuPageTexture%i" (1024 x 1024) in the
    // group "INTERFACEDATA".
    void CreatePageTextures(Ogre::SceneManager* sceneManager);
    // Null before CreatePageTextures.
    Ogre::SceneManager* GetSceneManager() const { return m_sceneManager; }
    Ogre::Camera* GetCamera() const { return m_camera; }
    // The render texture of a stack position; empty before CreatePageTextures.
    const std::string& GetPageTexture(int position) const;
    // Destroys the camera (at shutdown).
    void DestroyCamera();

    // Builds the scene: the book in the node "_menu" with its pages in the closed pose, the backdrop
    // "default" with its light patch, the three lights and the noise that makes "_Omni03" flicker; the zoom
    // is that of the closed book. A mesh or picture nobody shipped is logged and left out. Nothing before
    // CreatePageTextures or when built already.
    void Build();
    // Takes down what Build made. Nothing when not built.
    void Destroy();
    bool IsBuilt() const { return m_built; }

    // Starts the opening zoom from the closed book to the open one over duration seconds; 0 stops it.
    void StartZoom(float duration);
    float GetZoom() const { return m_zoom; }
    // Plays the flip animation of that name on every page mesh that has it, from its start (forward) or
    // from its end (backward); the flips that ran before stop.
    void StartFlip(const std::string& animation, bool forward);
    // The opening zoom, the value sources (the light's flicker) and the running flips advance by dt.
    void Update(float dt);

    // The stack position of the page under the point (x, y from 0 to 1 across the window) and, in uv, the
    // point of that page's texture; -1 (uv untouched) over the cover, the backdrop or nothing. The pages
    // are read as the running flips pose them.
    int Pick(float x, float y, Ogre::Vector2& uv) const;

private:
    void BuildPages();
    void BuildBackdrop();
    void AddLights();
    void RemoveLights();
    void ApplyZoom(float zoom);

    Ogre::SceneManager* m_sceneManager = nullptr;
    Ogre::Camera* m_camera = nullptr;
    std::vector<std::string> m_pageMaterials;
    std::vector<std::string> m_pageTextures;
    // "_page1" .. "_page5" as far as their meshes exist; null for those left out.
    std::vector<Ogre::Entity*> m_pages;
    std::unique_ptr<cl_Backdrop> m_backdrop;
    std::vector<Ogre::AnimationState*> m_animations;
    bool m_flipForward = true;
    bool m_built = false;
    float m_zoomDuration = 1.0f;
    float m_zoomElapsed = 0.0f;
    float m_zoom = CLOSED_ZOOM;
};
