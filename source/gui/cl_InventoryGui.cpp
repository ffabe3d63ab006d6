#include "gui/cl_InventoryGui.h"

#include "assets/cl_ItemAsset.h"
#include "common/LogCall.h"
#include "graphics/cl_ItemManager.h"
#include "gui/ChildElementHit.h"
#include "gui/OverlayViewport.h"

#include <OgreException.h>
#include <OgreMaterialManager.h>
#include <OgrePass.h>
#include <OgreTechnique.h>
#include <OgreTextureUnitState.h>
#include <Overlay/OgreOverlay.h>
#include <Overlay/OgreOverlayContainer.h>
#include <Overlay/OgreOverlayManager.h>

#include <tinyxml.h>

#include <algorithm>
#include <cstddef>

namespace
{
constexpr size_t MIN_SLOTS = 16;
// A point below the row is taken this far above its bottom edge.
constexpr float BELOW_ROW_LIFT = 0.02f;
constexpr float HELD_ALPHA = 0.5f;

Ogre::OverlayManager& Overlays()
{
    return Ogre::OverlayManager::getSingleton();
}

cl_Inventory* Inventory()
{
    cl_GameComponents* hub = cl_GameComponents::GetInstance();
    return hub ? &hub->GetInventory() : nullptr;
}

Ogre::OverlayContainer* CreatePanel(const char* name, float x, float y)
{
    auto* panel = static_cast<Ogre::OverlayContainer*>(Overlays().createOverlayElement("Panel", name));
    panel->setMetricsMode(Ogre::GMM_RELATIVE);
    panel->setDimensions(1.0f, 1.0f);
    panel->setPosition(x, y);
    panel->show();
    return panel;
}

// The material's texture unit whose alpha the icon's alpha modulates; null when it has none or does not
// load.
Ogre::TextureUnitState* AlphaUnit(const Ogre::MaterialPtr& material)
{
    try
    {
        material->load();
    }
    catch (const Ogre::Exception& exception)
    {
        LOG_ERROR("The icon material '%s' does not load: %s", material->getName().c_str(),
                  exception.getDescription().c_str());
        return nullptr;
    }
    Ogre::Technique* technique = material->getBestTechnique();
    if (!technique && material->getNumTechniques() > 0)
        technique = material->getTechnique(0);
    Ogre::Pass* pass = technique && technique->getNumPasses() > 0 ? technique->getPass(0) : nullptr;
    return pass && pass->getNumTextureUnitStates() > 0 ? pass->getTextureUnitState(0) : nullptr;
}
} // namespace

cl_InventoryGui::~cl_InventoryGui()
{
    Destroy();
}

void cl_InventoryGui::Init(Ogre::Overlay* foreground, Ogre::Overlay* background)
{
    if (m_background)
        return;
    m_foregroundOverlay = foreground;
    m_backgroundOverlay = background;
    m_background = CreatePanel("_inventory_bg", m_x, m_y);
    m_foreground = CreatePanel("_inventory_fg", m_x, m_y);
    if (cl_GameComponents* hub = cl_GameComponents::GetInstance())
    {
        hub->GetInventory().AddListener(this);
        hub->AddListener(this);
    }
    Rebuild();
    m_backgroundOverlay->add2D(m_background);
    m_foregroundOverlay->add2D(m_foreground);
    SetSize(m_width, m_height);
}

void cl_InventoryGui::Destroy()
{
    if (!m_background)
        return;
    DestroyItemPanels();
    if (cl_GameComponents* hub = cl_GameComponents::GetInstance())
    {
        hub->RemoveListener(this);
        hub->GetInventory().RemoveListener(this);
    }
    m_backgroundOverlay->remove2D(m_background);
    m_foregroundOverlay->remove2D(m_foreground);
    Overlays().destroyOverlayElement(m_background);
    Overlays().destroyOverlayElement(m_foreground);
    m_background = m_foreground = nullptr;
    m_backgroundOverlay = m_foregroundOverlay = nullptr;
}

void cl_InventoryGui::SetOpen(bool open)
{
    const bool opening = open && !m_open;
    m_open = open;
    if (opening)
        Layout();
}

void cl_InventoryGui::SetSize(float width, float height)
{
    m_width = width;
    m_height = height;
    for (Ogre::OverlayContainer* panel : {m_background, m_foreground})
    {
        if (panel)
            panel->setDimensions(width, height);
    }
}

void cl_InventoryGui::SetPosition(float x, float y)
{
    m_x = x;
    m_y = y;
    for (Ogre::OverlayContainer* panel : {m_background, m_foreground})
    {
        if (panel)
            panel->setPosition(x, y + m_height * (1.0f - GetBarScale()));
    }
}

void cl_InventoryGui::Update(float dt)
{
    bool changed = false;
    for (InventoryItemPanel& icon : m_items)
    {
        const InventoryItemPanel::Step step = icon.Animate(dt, m_open);
        if (step.alphaChanged)
            SetItemAlpha(icon.itemId, step.alpha);
        changed |= step.changed;
    }
    if (changed)
        Layout();
}

std::string cl_InventoryGui::GetIdAt(float x, float y)
{
    if (!m_open)
        return std::string();
    const float bottom = m_y + m_height;
    if (y > bottom)
        y = bottom - BELOW_ROW_LIFT;
    std::string found;
    bool moved = false;
    for (InventoryItemPanel& icon : m_items)
    {
        if (found.empty() && !icon.selected && ChildElementContains(icon.panel, m_x, m_y, x, y))
        {
            if (!icon.hovered)
            {
                Raise(icon, true);
                moved = true;
            }
            found = icon.itemId;
        }
        else if (icon.hovered)
        {
            Raise(icon, false);
            moved = true;
        }
    }
    if (moved)
        Layout();
    return found;
}

void cl_InventoryGui::Layout()
{
    if (!m_background)
        return;
    const float aspect = OverlayViewport::Current().Aspect();
    const float slotWidth = m_width / static_cast<float>(std::max(m_items.size(), MIN_SLOTS));
    // Square in pixels.
    const float slotHeight = slotWidth * aspect;
    float slotLeft = (m_width - static_cast<float>(m_items.size()) * slotWidth) / 2.0f;
    for (const InventoryItemPanel& icon : m_items)
    {
        const InventoryItemPanel::Rect rect = icon.Place(slotLeft, slotWidth, slotHeight, m_height);
        icon.panel->setPosition(rect.left, rect.top);
        icon.panel->setDimensions(rect.width, rect.height);
        slotLeft += slotWidth;
    }
}

void cl_InventoryGui::Rebuild()
{
    DestroyItemPanels();
    const cl_Inventory* inventory = Inventory();
    const TiXmlElement* character =
        inventory ? inventory->FindCharacterNode(inventory->GetCurrentCharacter()) : nullptr;
    if (!character || !m_background)
        return;
    for (const TiXmlElement* item = character->FirstChildElement("item"); item;
         item = item->NextSiblingElement("item"))
    {
        const char* id = item->Attribute("itemid");
        if (!id || !*id)
            continue;
        if (Find(id))
        {
            LOG_ERROR("The inventory of '%s' lists the item '%s' more than once; it shows one icon.",
                      inventory->GetCurrentCharacter().c_str(), id);
            continue;
        }
        if (CreateItemPanel(id))
            SetItemAlpha(id, 1.0f);
    }
}

size_t cl_InventoryGui::IndexOf(const std::string& itemId) const
{
    size_t index = 0;
    while (index < m_items.size() && m_items[index].itemId != itemId)
        ++index;
    return index;
}

const InventoryItemPanel* cl_InventoryGui::FindItemPanel(const std::string& itemId) const
{
    const size_t index = IndexOf(itemId);
    return index < m_items.size() ? &m_items[index] : nullptr;
}

InventoryItemPanel* cl_InventoryGui::Find(const std::string& itemId)
{
    const size_t index = IndexOf(itemId);
    return index < m_items.size() ? &m_items[index] : nullptr;
}

std::string cl_InventoryGui::GetIconMaterialName(const std::string& itemId)
{
    return cl_ItemManager::CreateIconMaterial(itemId, "inv");
}

void cl_InventoryGui::SetItemAlpha(const std::string& itemId, float alpha)
{
    const Ogre::MaterialPtr material = Ogre::MaterialManager::getSingleton().getByName(
        GetIconMaterialName(itemId), Ogre::ResourceGroupManager::AUTODETECT_RESOURCE_GROUP_NAME);
    Ogre::TextureUnitState* unit = material ? AlphaUnit(material) : nullptr;
    if (unit)
        unit->setAlphaOperation(Ogre::LBX_MODULATE, Ogre::LBS_MANUAL, Ogre::LBS_TEXTURE, alpha);
}

InventoryItemPanel* cl_InventoryGui::CreateItemPanel(const std::string& itemId)
{
    if (!m_background)
        return nullptr;
    if (Overlays().hasOverlayElement(itemId))
    {
        LOG_ERROR("The item '%s' gets no inventory icon: an overlay element has its name.", itemId.c_str());
        return nullptr;
    }
    Ogre::OverlayElement* panel = Overlays().createOverlayElement("Panel", itemId);
    panel->setMetricsMode(Ogre::GMM_RELATIVE);
    panel->setPosition(0.0f, 0.0f);
    panel->setDimensions(0.0f, 0.0f);
    panel->setMaterialName(GetIconMaterialName(itemId),
                           Ogre::ResourceGroupManager::AUTODETECT_RESOURCE_GROUP_NAME);
    panel->show();
    m_background->addChild(panel);
    InventoryItemPanel icon;
    icon.itemId = itemId;
    icon.panel = panel;
    m_items.push_back(icon);
    return &m_items.back();
}

void cl_InventoryGui::RemoveItemPanel(const std::string& itemId)
{
    const size_t index = IndexOf(itemId);
    if (index == m_items.size())
        return;
    (m_items[index].hovered ? m_foreground : m_background)->removeChild(itemId);
    Overlays().destroyOverlayElement(m_items[index].panel);
    m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(index));
}

void cl_InventoryGui::DestroyItemPanels()
{
    while (!m_items.empty())
        RemoveItemPanel(m_items.front().itemId);
}

void cl_InventoryGui::Raise(InventoryItemPanel& icon, bool raised)
{
    (icon.hovered ? m_foreground : m_background)->removeChild(icon.itemId);
    (raised ? m_foreground : m_background)->addChild(icon.panel);
    icon.hovered = raised;
}

void cl_InventoryGui::ReleaseSelected(const std::string& keptId)
{
    for (InventoryItemPanel& icon : m_items)
    {
        if (icon.selected && icon.itemId != keptId)
        {
            icon.selected = false;
            SetItemAlpha(icon.itemId, 1.0f);
        }
    }
}

void cl_InventoryGui::PopUp(InventoryItemPanel* icon)
{
    if (!icon)
        return;
    icon->PopUp();
    SetItemAlpha(icon->itemId, 0.0f);
    Layout();
}

void cl_InventoryGui::OnItemAdded(const std::string& itemId, bool forCurrentCharacter)
{
    if (!forCurrentCharacter)
        return;
    InventoryItemPanel* icon = Find(itemId);
    if (!icon)
        icon = CreateItemPanel(itemId);
    PopUp(icon);
}

void cl_InventoryGui::OnItemRemoved(const std::string& itemId, bool forCurrentCharacter)
{
    if (!forCurrentCharacter)
        return;
    RemoveItemPanel(itemId);
    Layout();
}

void cl_InventoryGui::OnItemIconTagChanged(const std::string& itemId)
{
    if (!Find(itemId))
        return;
    RemoveItemPanel(itemId);
    PopUp(CreateItemPanel(itemId));
}

void cl_InventoryGui::OnInventoryChanged()
{
    Rebuild();
    Layout();
}

void cl_InventoryGui::OnItemSelected(cl_ItemAsset* item)
{
    const std::string heldId = item ? item->GetId() : std::string();
    // Only the item on the pointer is shown held, also when another was held before.
    ReleaseSelected(heldId);
    if (!item)
        return;
    SetItemAlpha(heldId, HELD_ALPHA);
    if (InventoryItemPanel* icon = Find(heldId))
        icon->selected = true;
}
