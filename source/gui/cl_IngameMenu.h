#pragma once

#include "common/ListenerList.h"
#include "gamecomponents/cl_GameComponents.h"
#include "graphics/HotSpot.h"
#include "gui/ITextFormatListener.h"
#include "gui/MousePointerChoice.h"
#include "gui/OverlayResourceCheck.h"
#include "gui/cl_DialogGui.h"
#include "gui/cl_InventoryGui.h"
#include "gui/cl_PartyGui.h"

#include <map>
#include <memory>
#include <string>

namespace Ogre
{
class Overlay;
class OverlayContainer;
class OverlayElement;
class PanelOverlayElement;
} // namespace Ogre

class HotspotMarkers;
class ICursorOwner;
class cl_TarqTextAreaOverlayElement;

// The in-game screen layer over the 3D view, in six OGRE overlays: the pillarbox bars, the pointer and the
// held item's icon beside it, the name of what lies under the pointer, the current hint, on-screen texts
// and subtitles, the hotspot markers, panels that scripts add, and the inventory, party and dialog views.
// Owned by the GUI system, which builds the overlays in its Init; until then (and without OGRE) every
// operation keeps its state but draws nothing. Positions and sizes are fractions of the screen.
class cl_IngameMenu : public IGameComponentListener
{
public:
    static constexpr int SPACE_KEY = 57; // OIS::KC_SPACE

    cl_IngameMenu();
    virtual ~cl_IngameMenu();
    cl_IngameMenu(const cl_IngameMenu&) = delete;
    cl_IngameMenu& operator=(const cl_IngameMenu&) = delete;

    // ---- Overlays (needs OGRE's overlay manager)
    // Builds the overlays and their elements, puts up the bars for the aspects 4:3 to 1.6 and joins the
    // game components' listeners. Does nothing when they exist.
    void CreateOverlays();
    // Destroys everything CreateOverlays and the texts, panels and markers made; nothing without overlays.
    void DestroyOverlays();
    bool HasOverlays() const { return m_ingameMenu != nullptr; }

    // The menu starts shown; Hide acts only while it is shown. The overlays follow once they exist.
    void Show();
    void Hide();
    bool IsShown() const { return m_shown; }
    // Clears what the game showed: the inventory allowed again and its row closed, the party view hidden,
    // the on-screen texts, the held item's icon, the mouse-over text, the hotspot hint and the current hint
    // gone, the pointer shown.
    void Reset();

    // Hide and show the pointer. With the hardware cursor on they also put the cursor owner's current
    // cursor aside and restore it (when an owner is set).
    void HideMouse();
    void ShowMouse();
    bool IsMouseHidden() const { return m_mouseHidden; }
    // The application, which owns the hardware cursors; not owned, null when none. The owner must reset
    // it (null) before it is destroyed.
    void SetCursorOwner(ICursorOwner* owner) { m_cursorOwner = owner; }
    // On: the pointer is the operating system's cursor; off: the menu draws the pointer itself.
    void SetHardwareCursor(bool on);
    bool HasHardwareCursor() const { return m_hardwareCursor; }
    void SetSubtitles(bool on) { m_subtitles = on; }
    bool HasSubtitles() const { return m_subtitles; }

    // Puts up black bars so that the picture keeps an aspect between the two: at the sides of a wider
    // viewport, above and below a narrower one. The views are placed inside the picture.
    void SetPillarbox(float minAspect, float maxAspect);
    float GetSideBarWidth() const { return m_sideBarWidth; }
    float GetTopBarHeight() const { return m_topBarHeight; }
    // The viewport's width over its height when the bars were last put up.
    float GetViewportAspect() const { return m_viewportAspect; }

    // The relative character height of the mouse-over text and the on-screen texts (not of the current
    // hint); the width of on-screen texts follows it. Tells the text-format listeners.
    void SetFontSize(float size);
    float GetFontSize() const { return m_fontSize; }
    float GetTextWidth() const { return m_textWidth; }
    // Listeners are not owned and must remove themselves before they are destroyed.
    void AddTextFormatListener(ITextFormatListener* listener) { m_textFormatListeners.Add(listener); }
    void RemoveTextFormatListener(const ITextFormatListener* listener)
    {
        m_textFormatListeners.Remove(listener);
    }

    // A panel of that name showing the material, for scripts: made when the name is new, else moved and
    // resized (its material stays). A material or name OGRE cannot take makes no panel (logged).
    void AddCustomOverlay(const std::string& name, const std::string& material, float left, float top,
                          float width, float height);
    // Destroys the panel (or on-screen text) of that name; nothing for an unknown name.
    void RemoveCustomOverlay(const std::string& name);
    // The on-screen text "st_<id>" or custom panel of that name; null for none.
    Ogre::OverlayElement* FindElement(const std::string& name) const;

    // The id of the party portrait, else of the inventory item, at the point; empty when there is neither.
    // The views mark what they find as under the mouse.
    std::string GetIdAt(float x, float y);
    // The mouse is at (x, y): the inventory row opens at the bottom edge and closes above the row, and the
    // pointer and its tag follow.
    void MoveMouse(float x, float y);
    // A button is held: the pointer shrinks to 0.9 (the small hardware cursor) until it is released.
    void PressMouse();
    void ReleaseMouse();

    // ---- The pointer
    // Set by whoever knows the situation, followed by UpdateMousePointer.
    PointerFlags m_pointerFlags;
    // Chooses the pointer "gui/mp_<word>" (MousePointerChoice) from the flags, the game components and the
    // dialog view. Every frame and when the object under the mouse changes.
    void UpdateMousePointer();
    // The drawn pointer's material (a missing one shows "gui/mp_none", logged once); with the hardware
    // cursor the cursor pair named by the part after the first '/'.
    void SetPointerMaterial(const std::string& material);
    const std::string& GetPointerMaterial() const { return m_pointerMaterial; }
    // The icon beside the pointer; empty hides it.
    void SetPointerTag(const std::string& material);

    void OnInteractionChanged(cl_ItemAsset* object) override;
    // The held item's pointer icon beside the pointer; none hides it.
    void OnItemSelected(cl_ItemAsset* item) override;
    void OnActiveCharacterChanged(const std::string& /*characterId*/) override {}

    // ---- Texts (UTF-8; bytes that are not show as replacement characters)
    // The name of what lies under the pointer, centred at the bottom of the picture.
    void SetMouseOverText(const std::string& text);
    const std::string& GetMouseOverText() const { return m_mouseOverText; }
    // The current hint of the game state, centred at the top of the picture.
    void ShowCurrentHint();
    // The text "st_<id>" in white, made on first use, centred above the screen's middle.
    void ShowOnScreenText(const std::string& id, const std::string& text);
    // A subtitle: the text "st_<id>", made on first use in the speaker's speech colour, above the speaking
    // character when it has a place on the screen, else where it stood before. Nothing while subtitles
    // are off.
    void ShowSpeechText(const std::string& id, const std::string& text, const std::string& speaker);
    // Hides the text "st_<id>" when there is one.
    void HideText(const std::string& id);
    // Hides every "st_" text; custom panels stay.
    void HideAllTexts();
    // Puts element centred on x and two character heights above y, inside the picture (TextPlacement).
    void PlaceText(cl_TarqTextAreaOverlayElement& element, float x, float y);

    // ---- Hotspot markers (held Space)
    // False at difficulty 1 with the setting "hotspots" absent, empty or "default", and with "off".
    static bool HotspotsAllowed(int difficulty, const std::string& setting);
    // For the game's difficulty and settings.
    bool HotspotsAllowed() const;
    // The markers when allowed, else the hotspot hint over a darkened picture; then the current hint.
    void PressSpace();
    // For Space (others are ignored): takes down what PressSpace put up.
    void ReleaseSpace(int key);
    void ShowHotspotsHint();
    void HideHotspotsHint();
    void ShowHotspots();
    void HideHotspots();
    // Markers for the hotspots of the loaded scene and of the running minigame; every frame while shown.
    void UpdateHotspots();
    bool AreHotspotsShown() const { return m_hotspotsShown; }
    // The time that pulses the markers.
    void AddHotspotTime(float dt) { m_hotspotTimer += dt; }
    float GetHotspotTimer() const { return m_hotspotTimer; }
    // Null without overlays.
    const HotspotMarkers* GetHotspotMarkers() const { return m_markers.get(); }

    // ---- Views
    cl_DialogGui& GetDialogGui() { return m_dialogGui; }
    cl_InventoryGui& GetInventoryGui() { return m_inventoryGui; }
    cl_PartyGui& GetPartyGui() { return m_partyGui; }
    // Minigames keep the inventory row closed while they run.
    void SetInventoryAllowed(bool allowed) { m_inventoryAllowed = allowed; }
    bool IsInventoryAllowed() const { return m_inventoryAllowed; }

    // A text area of that name in the in-game text style, owned by the overlay manager; null when OGRE has
    // an element of that name (logged). Needs the overlays.
    cl_TarqTextAreaOverlayElement* CreateTextElement(const std::string& name, float left, float top,
                                                     float width, float height);
    // The in-game text style: font, character height, spacing offset, line spacing.
    void ApplyTextStyle(cl_TarqTextAreaOverlayElement& element);

private:
    Ogre::PanelOverlayElement* CreatePanel(const std::string& name, const std::string& material,
                                           const char* use);
    void DestroyElement(Ogre::OverlayElement* element);
    // The text "st_<id>", made and stored when new (isNew tells); null when the name belongs to something
    // else.
    cl_TarqTextAreaOverlayElement* OnScreenText(const std::string& id, bool& isNew);
    // Caption text at width of its first line, its left edge centring it; top as given.
    void SetCentredText(cl_TarqTextAreaOverlayElement& element, const std::string& text, float top);

    cl_DialogGui m_dialogGui{*this};
    cl_InventoryGui m_inventoryGui;
    cl_PartyGui m_partyGui;
    ICursorOwner* m_cursorOwner = nullptr;
    OverlayResourceCheck m_resources;
    ListenerList<ITextFormatListener> m_textFormatListeners;

    Ogre::Overlay* m_ingameMenu = nullptr;
    Ogre::Overlay* m_pillarbox = nullptr;
    Ogre::Overlay* m_background = nullptr;
    Ogre::Overlay* m_mouse = nullptr;
    Ogre::Overlay* m_mouseTag = nullptr;
    Ogre::Overlay* m_hotspots = nullptr;
    // The parent of the in-game menu's texts and panels: OGRE puts only panels into overlays.
    Ogre::PanelOverlayElement* m_ingameMenuRoot = nullptr;
    cl_TarqTextAreaOverlayElement* m_mouseOverElement = nullptr;
    cl_TarqTextAreaOverlayElement* m_currentHintElement = nullptr;
    Ogre::PanelOverlayElement* m_mousePointer = nullptr;
    Ogre::PanelOverlayElement* m_mousePointerTag = nullptr;
    Ogre::PanelOverlayElement* m_bars[4] = {};
    // On-screen texts ("st_<id>") and custom panels by name.
    std::map<std::string, Ogre::OverlayElement*> m_namedElements;
    std::unique_ptr<HotspotMarkers> m_markers;
    HotSpots m_hotSpots;

    std::string m_mouseOverText;
    std::string m_pointerMaterial;
    float m_fontSize = 0.0375f;
    float m_spacingOffset = -0.002f;
    float m_textWidth = 0.0375f * 0.3f * 60.0f;
    static constexpr float SCREEN_MARGIN = 0.02f;
    float m_sideBarWidth = 0.0f;
    float m_topBarHeight = 0.0f;
    float m_pointerWidth = 0.04f;
    float m_pointerHeight = 0.04f;
    float m_hotspotTimer = 0.0f;
    float m_viewportAspect = 4.0f / 3.0f;
    bool m_hardwareCursor = false;
    bool m_subtitles = true;
    bool m_shown = true;
    bool m_inventoryAllowed = true;
    bool m_hotspotsShown = false;
    bool m_mouseHidden = false;
};
