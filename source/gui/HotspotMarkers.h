#pragma once

#include "graphics/HotSpot.h"

#include <map>
#include <string>

namespace Ogre
{
class Overlay;
class OverlayContainer;
} // namespace Ogre

class OverlayResourceCheck;

// The pulsing markers the in-game menu shows over the usable objects while the player holds Space: one
// panel "_olc_hotspot_<id>" per hotspot, with the picture "gui/hs_<interaction mode>", a square of 0.04
// of the screen's width centred on the hotspot.
class HotspotMarkers
{
public:
    // overlay (the menu's "_ol_hotspots") and check must outlive the markers.
    HotspotMarkers(Ogre::Overlay& overlay, OverlayResourceCheck& check) : m_overlay(overlay), m_check(check)
    {
    }
    ~HotspotMarkers() { DestroyAll(); }
    HotspotMarkers(const HotspotMarkers&) = delete;
    HotspotMarkers& operator=(const HotspotMarkers&) = delete;

    // The markers' size factor at timer seconds after Space was pressed: one pulse a second between 0.8
    // and 1.2.
    static float Pulse(float timer);

    // One marker per hotspot, in place and pulsed for timer: a hotspot without a marker gets one, a marker
    // whose hotspot is gone is destroyed. aspect: the viewport's width over its height. A hotspot whose
    // picture is missing gets no marker (logged once).
    void Update(const HotSpots& hotSpots, float timer, float aspect);
    void DestroyAll();

    // The marker of that hotspot id; null for none.
    const Ogre::OverlayContainer* Find(const std::string& id) const;
    size_t Count() const { return m_markers.size(); }

private:
    struct Marker
    {
        float x = 0.0f;
        float y = 0.0f;
        float width = 0.0f;
        float height = 0.0f;
        Ogre::OverlayContainer* panel = nullptr;
        // The picture it shows, so that it is set only when it changes.
        std::string material;
        bool seen = false;
    };

    Marker* Place(const HotSpot& hotSpot, float aspect);
    void Destroy(Marker& marker);

    Ogre::Overlay& m_overlay;
    OverlayResourceCheck& m_check;
    std::map<std::string, Marker> m_markers;
};
