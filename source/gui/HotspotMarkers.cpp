#include "gui/HotspotMarkers.h"

#include "gui/OverlayResourceCheck.h"

#include <OgreMath.h>
#include <Overlay/OgreOverlay.h>
#include <Overlay/OgreOverlayContainer.h>
#include <Overlay/OgreOverlayManager.h>

namespace
{
constexpr float MARKER_SIZE = 0.04f;
} // namespace

float HotspotMarkers::Pulse(float timer)
{
    return 1.0f + 0.2f * Ogre::Math::Sin(Ogre::Math::TWO_PI * timer);
}

void HotspotMarkers::Update(const HotSpots& hotSpots, float timer, float aspect)
{
    for (auto& entry : m_markers)
        entry.second.seen = false;
    for (const HotSpot& hotSpot : hotSpots)
    {
        if (Marker* marker = Place(hotSpot, aspect))
            marker->seen = true;
    }
    for (auto entry = m_markers.begin(); entry != m_markers.end();)
    {
        if (entry->second.seen)
            ++entry;
        else
        {
            Destroy(entry->second);
            entry = m_markers.erase(entry);
        }
    }

    const float scale = Pulse(timer);
    for (auto& entry : m_markers)
    {
        const Marker& marker = entry.second;
        const float width = marker.width * scale;
        const float height = marker.height * scale;
        marker.panel->setDimensions(width, height);
        marker.panel->setPosition(marker.x - width / 2.0f, marker.y - height / 2.0f);
    }
}

HotspotMarkers::Marker* HotspotMarkers::Place(const HotSpot& hotSpot, float aspect)
{
    const std::string material = "gui/hs_" + hotSpot.interactionMode;
    auto found = m_markers.find(hotSpot.id);
    if (found == m_markers.end())
    {
        const std::string name = "_olc_hotspot_" + hotSpot.id;
        Ogre::OverlayManager& overlays = Ogre::OverlayManager::getSingleton();
        if (!m_check.HasMaterial(material, "a hotspot marker") || overlays.hasOverlayElement(name))
            return nullptr;
        Marker marker;
        marker.panel = static_cast<Ogre::OverlayContainer*>(overlays.createOverlayElement("Panel", name));
        marker.panel->setMetricsMode(Ogre::GMM_RELATIVE);
        m_overlay.add2D(marker.panel);
        marker.panel->show();
        marker.width = MARKER_SIZE;
        marker.height = aspect * MARKER_SIZE;
        found = m_markers.emplace(hotSpot.id, marker).first;
    }
    Marker& marker = found->second;
    marker.x = hotSpot.x;
    marker.y = hotSpot.y;
    if (marker.material != material && m_check.HasMaterial(material, "a hotspot marker"))
    {
        marker.panel->setMaterialName(material);
        marker.material = material;
    }
    return &marker;
}

void HotspotMarkers::DestroyAll()
{
    for (auto& entry : m_markers)
        Destroy(entry.second);
    m_markers.clear();
}

void HotspotMarkers::Destroy(Marker& marker)
{
    m_overlay.remove2D(marker.panel);
    Ogre::OverlayManager::getSingleton().destroyOverlayElement(marker.panel);
    marker.panel = nullptr;
}

const Ogre::OverlayContainer* HotspotMarkers::Find(const std::string& id) const
{
    const auto found = m_markers.find(id);
    return found == m_markers.end() ? nullptr : found->second.panel;
}
