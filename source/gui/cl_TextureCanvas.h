#pragma once

#include <string>

namespace Ogre
{
class Camera;
class OverlayElement;
class OverlayManager;
class RenderSystem;
class SceneManager;
class Texture;
class Viewport;
} // namespace Ogre

struct cl_CanvasItem;
class cl_TarqTextAreaOverlayElement;

// Draws pages of texts and pictures straight into a render-target texture, outside OGRE's frame. Every
// user runs one pass: Create, Clear, a DrawText or DrawImage per item, EndFrame, Destroy; between Clear and
// EndFrame nothing else may render. It draws through an overlay panel and a text area of its own that no
// overlay holds, with the GL render system's fixed-function calls.
class cl_TextureCanvas
{
public:
    cl_TextureCanvas() = default;
    // Destroy, when the user has not.
    ~cl_TextureCanvas();
    cl_TextureCanvas(const cl_TextureCanvas&) = delete;
    cl_TextureCanvas& operator=(const cl_TextureCanvas&) = delete;

    // Builds the camera "RTTCamera" in sceneManager (which must outlive the canvas), the two elements
    // and a viewport over the whole texture, which must exist as a render target. A texture that does not
    // exist is logged; the canvas then draws nothing. Returns this canvas.
    cl_TextureCanvas* Create(const std::string& textureName, Ogre::SceneManager* sceneManager);
    // Takes down what Create built. Nothing when there is nothing.
    void Destroy();

    // Starts a pass: the texture becomes the render target and is cleared to transparent black.
    void Clear();
    // Draws the text in the font "Dauphin" with the first pass of the font's material; the item's width
    // becomes the text's measured width and its height its character height. Without the text type
    // "TarqTextArea" or the font (logged by Create) texts are left out.
    void DrawText(cl_CanvasItem& item);
    // Draws the picture with every pass of its material's first technique. An item without material
    // name draws nothing; a material that does not exist is logged with its name and left out.
    void DrawImage(const cl_CanvasItem& item);
    // Ends the pass that Clear started.
    void EndFrame();

private:
    // Whether a pass runs (between Clear and EndFrame) on a canvas that has its texture.
    bool IsDrawing() const { return m_renderSystem && m_viewport; }
    void CreateTextArea(Ogre::OverlayManager& overlays);
    // Updates the element and hands its geometry to the render system.
    void Render(Ogre::OverlayElement& element);

    Ogre::Viewport* m_viewport = nullptr;
    Ogre::SceneManager* m_sceneManager = nullptr;
    Ogre::Camera* m_camera = nullptr;
    Ogre::Texture* m_texture = nullptr;
    Ogre::OverlayElement* m_backPanel = nullptr;
    cl_TarqTextAreaOverlayElement* m_textArea = nullptr;
    Ogre::RenderSystem* m_renderSystem = nullptr;
};
