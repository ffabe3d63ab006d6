#pragma once

#include "gamecomponents/cl_DialogSystem.h"
#include "gui/ITextFormatListener.h"
#include "gui/OverlayResourceCheck.h"

#include <OgreColourValue.h>

#include <vector>

namespace Ogre
{
class Overlay;
class OverlayContainer;
} // namespace Ogre

class cl_IngameMenu;
class cl_TarqTextAreaOverlayElement;

// The dialog view of the in-game menu: the entries of a dialog (its topics, or the answers of a choice
// query) as lines of text in a panel that grows upward from the bottom of the picture and shrinks again
// while a topic plays. The line under the mouse takes the current character's speech colour; its index and
// whether the mouse is over the panel are what the game components' clicks choose by.
//
// Without overlays (before Create) the view keeps its state but draws nothing.
class cl_DialogGui final : public IDialogSystemListener, public ITextFormatListener
{
public:
    // The menu owns the view and must outlive it.
    explicit cl_DialogGui(cl_IngameMenu& menu);
    ~cl_DialogGui();
    cl_DialogGui(const cl_DialogGui&) = delete;
    cl_DialogGui& operator=(const cl_DialogGui&) = delete;

    // Puts the panel "_dialog" into overlay (not owned) and starts listening to the dialog system and the
    // menu's text format. The menu places and sizes the panel.
    void Create(Ogre::Overlay* overlay);
    // Takes the panel and its lines down and stops listening; nothing before Create.
    void Destroy();
    // Null before Create.
    Ogre::OverlayContainer* GetPanel() const { return m_panel; }

    // Every frame: opens on a choice query once the foreground may be interrupted, grows or shrinks the
    // panel toward its target height with its bottom edge kept, and once it is closed hides it (no dialog)
    // or builds the lines anew (the topic's sequence is over).
    void Update(float dt);
    // While shown: whether the mouse is over the panel, and the line under it highlighted.
    void MouseMoved(float x, float y);
    // Hides a shown panel and clears its highlight.
    void Hide();
    bool IsShown() const { return m_shown; }

    // The index of the entry under the mouse; -1 for none.
    int GetHoveredEntry() const { return m_highlighted; }
    void SetHoveredEntry(int index) { m_highlighted = index; }
    // Whether the mouse is over the dialog panel.
    bool IsMouseOverPanel() const { return m_mouseInside; }
    void SetMouseOverPanel(bool over) { m_mouseInside = over; }
    float GetTargetHeight() const { return m_targetHeight; }

    void OnChoicesChanged() override;
    void OnChoicesHidden() override;
    void OnDialogStart() override;
    void OnDialogExit() override;
    void OnTopicEnter() override;
    void OnTextFormatChanged() override;

private:
    void PickHighlightColour();
    void Highlight(int index);
    void ShowPanel();
    void BuildLines();
    void ClearLines();

    cl_IngameMenu& m_menu;
    OverlayResourceCheck m_resources;
    Ogre::Overlay* m_overlay = nullptr;
    Ogre::OverlayContainer* m_panel = nullptr;
    std::vector<cl_TarqTextAreaOverlayElement*> m_lines;
    bool m_shown = false;
    bool m_dialogRunning = false;
    bool m_choicesPending = false;
    bool m_mouseInside = false;
    float m_lineGap = 0.01f;
    float m_targetHeight = 0.0f;
    int m_highlighted = -1;
    float m_insetX = 0.02f;
    float m_insetTop = 0.02f;
    float m_speed = 0.0f;
    Ogre::ColourValue m_highlightColour = Ogre::ColourValue::Green;
};
