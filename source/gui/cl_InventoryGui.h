#pragma once

#include "gamecomponents/cl_GameComponents.h"
#include "gamecomponents/cl_Inventory.h"
#include "gui/InventoryItemPanel.h"

#include <cstddef>
#include <string>
#include <vector>

namespace Ogre
{
class Overlay;
class OverlayContainer;
} // namespace Ogre

// The inventory view: the current character's items as a row of icons along the bottom of the game
// screen. The in-game menu opens the row when the mouse reaches the bottom edge and closes it when the
// mouse leaves it upward; the icons then grow into place or shrink away. The icon under the mouse grows to
// twice its size above the others, the held item's icon is half transparent and cannot be picked, and an
// item the current character receives pops up for a moment even while the row is closed.
//
// The icons live between Init and Destroy; before Init the view keeps its place and open state and shows
// nothing. Positions and sizes are fractions of the screen.
class cl_InventoryGui final : public IInventoryListener, public IGameComponentListener
{
public:
    cl_InventoryGui() = default;
    ~cl_InventoryGui();
    cl_InventoryGui(const cl_InventoryGui&) = delete;
    cl_InventoryGui& operator=(const cl_InventoryGui&) = delete;

    // Makes the panels "_inventory_bg" (the row, in background) and "_inventory_fg" (the icon under the
    // mouse, in foreground), joins the listeners of the game components and their inventory (when there
    // are any) and shows the current character's items. The overlays are not owned and must outlive
    // Destroy. Nothing when the panels exist.
    void Init(Ogre::Overlay* foreground, Ogre::Overlay* background);
    // Takes the icons and panels down and leaves the listeners; nothing before Init.
    void Destroy();

    bool IsOpen() const { return m_open; }
    // The in-game menu opens and closes the row; opening lays the icons out.
    void SetOpen(bool open);
    // Whether the row has no icon.
    bool IsEmpty() const { return m_items.empty(); }

    // The size of both panels.
    void SetSize(float width, float height);
    // Both panels' top left corner.
    void SetPosition(float x, float y);
    float GetLeft() const { return m_x; }
    float GetTop() const { return m_y; }
    float GetWidth() const { return m_width; }
    float GetHeight() const { return m_height; }
    // The raised fraction of the row: it is always raised in full.
    float GetBarScale() const { return 1.0f; }

    // Every frame (the game time "gui"): pop-ups, growing and shrinking, then the layout when anything
    // moved.
    void Update(float dt);
    // The id of the item whose icon is under the point; "" while the row is closed, over a gap and over the
    // held item. A point below the row counts as just inside its bottom edge. The icon found is raised above
    // the row, the one raised before lowered again.
    std::string GetIdAt(float x, float y);
    // Places and sizes every icon: at least 16 slots across the row, square in pixels, the icons centred
    // and standing on the row's bottom.
    void Layout();
    // Makes the icons of the current character's items anew, in the order the character received them.
    // An item listed twice gets one icon (logged).
    void Rebuild();

    // The icon of the item; null when it has none.
    const InventoryItemPanel* FindItemPanel(const std::string& itemId) const;
    // The item manager's icon material of the item for the inventory, made when missing.
    static std::string GetIconMaterialName(const std::string& itemId);
    // Shows the item's icons at that alpha times the picture's own; nothing when the item has no icon
    // material.
    static void SetItemAlpha(const std::string& itemId, float alpha);

    // Items of other characters than the current one change nothing.
    void OnItemAdded(const std::string& itemId, bool forCurrentCharacter) override;
    void OnItemRemoved(const std::string& itemId, bool forCurrentCharacter) override;
    // The icon is made anew with the item's new material and pops up.
    void OnItemIconTagChanged(const std::string& itemId) override;
    void OnInventoryChanged() override;
    void OnInteractionChanged(cl_ItemAsset* /*object*/) override {}
    // The held item's icon turns half transparent; a dropped item's icon opaque again.
    void OnItemSelected(cl_ItemAsset* item) override;
    void OnActiveCharacterChanged(const std::string& /*characterId*/) override {}

private:
    // The index of the item's icon; the number of icons when it has none.
    size_t IndexOf(const std::string& itemId) const;
    InventoryItemPanel* Find(const std::string& itemId);
    // Null when OGRE has an element of the id's name already (logged).
    InventoryItemPanel* CreateItemPanel(const std::string& itemId);
    void RemoveItemPanel(const std::string& itemId);
    void DestroyItemPanels();
    // Moves the icon into the foreground panel or back into the row.
    void Raise(InventoryItemPanel& icon, bool raised);
    // Starts the icon's pop-up, invisible at first; nothing for null.
    void PopUp(InventoryItemPanel* icon);
    // Releases every held icon but the one of keptId.
    void ReleaseSelected(const std::string& keptId);

    Ogre::OverlayContainer* m_background = nullptr;
    Ogre::OverlayContainer* m_foreground = nullptr;
    Ogre::Overlay* m_backgroundOverlay = nullptr;
    Ogre::Overlay* m_foregroundOverlay = nullptr;
    std::vector<InventoryItemPanel> m_items;
    bool m_open = false;
    float m_x = 0.0f;
    float m_y = 0.0f;
    float m_width = 1.0f;
    float m_height = 0.125f;
};
