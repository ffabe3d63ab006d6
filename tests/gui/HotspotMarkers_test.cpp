#include "gui/HotspotMarkers.h"

#include "gui/OverlayResourceCheck.h"
#include "support/HeadlessOgre.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <OgreMaterialManager.h>
#include <Overlay/OgreOverlay.h>
#include <Overlay/OgreOverlayContainer.h>
#include <Overlay/OgreOverlayManager.h>
#include <Overlay/OgreOverlaySystem.h>

#include <memory>

namespace
{
constexpr float ASPECT = 4.0f / 3.0f;

// Markers in an overlay of their own, with the pictures "gui/hs_use" and "gui/hs_take" (no window).
class Markers : public testing::Test
{
protected:
    Markers()
    {
        for (const char* name : {"gui/hs_use", "gui/hs_take"})
            Ogre::MaterialManager::getSingleton().create(name, "General");
        m_overlay = Ogre::OverlayManager::getSingleton().create("_ol_hotspots");
        m_markers = std::make_unique<HotspotMarkers>(*m_overlay, m_check);
    }
    ~Markers() override
    {
        m_markers.reset();
        Ogre::OverlayManager::getSingleton().destroy(m_overlay);
    }

    const Ogre::OverlayContainer& Marker(const std::string& id) const
    {
        const Ogre::OverlayContainer* marker = m_markers->Find(id);
        EXPECT_NE(marker, nullptr) << id;
        static const Ogre::OverlayContainer* none = nullptr;
        return marker ? *marker : *none;
    }

    LogCapture m_log;
    HeadlessOgre m_ogre;
    std::unique_ptr<Ogre::OverlaySystem> m_overlaySystem = std::make_unique<Ogre::OverlaySystem>();
    Ogre::Overlay* m_overlay = nullptr;
    OverlayResourceCheck m_check;
    std::unique_ptr<HotspotMarkers> m_markers;
};

TEST_F(Markers, PulseOnceASecondBetween0_8And1_2)
{
    EXPECT_NEAR(HotspotMarkers::Pulse(0.0f), 1.0f, 1e-5f);
    EXPECT_NEAR(HotspotMarkers::Pulse(0.25f), 1.2f, 1e-5f);
    EXPECT_NEAR(HotspotMarkers::Pulse(0.75f), 0.8f, 1e-5f);
    EXPECT_NEAR(HotspotMarkers::Pulse(1.25f), 1.2f, 1e-5f);
}

TEST_F(Markers, AreSquaresCentredOnTheirHotspotsAndPulse)
{
    m_markers->Update({{0.5f, 0.4f, "use", "items_door"}}, 0.25f, ASPECT);
    const Ogre::OverlayContainer& marker = Marker("items_door");
    EXPECT_EQ(marker.getName(), "_olc_hotspot_items_door");
    EXPECT_EQ(marker.getMaterialName(), "gui/hs_use");
    EXPECT_TRUE(marker.isVisible());
    EXPECT_NEAR(marker.getWidth(), 0.04f * 1.2f, 1e-5f);
    EXPECT_NEAR(marker.getHeight(), ASPECT * 0.04f * 1.2f, 1e-5f);
    EXPECT_NEAR(marker.getLeft() + marker.getWidth() / 2, 0.5f, 1e-5f);
    EXPECT_NEAR(marker.getTop() + marker.getHeight() / 2, 0.4f, 1e-5f);

    m_markers->Update({{0.5f, 0.4f, "use", "items_door"}}, 0.75f, ASPECT);
    EXPECT_NEAR(marker.getWidth(), 0.04f * 0.8f, 1e-5f);
    EXPECT_NEAR(marker.getLeft() + marker.getWidth() / 2, 0.5f, 1e-5f);
}

TEST_F(Markers, FollowObjectsThatLeaveAndCome)
{
    m_markers->Update({{0.2f, 0.5f, "take", "items_key"}, {0.6f, 0.5f, "use", "items_door"}}, 0.0f, ASPECT);
    ASSERT_EQ(m_markers->Count(), 2u);
    const Ogre::OverlayContainer* door = m_markers->Find("items_door");

    // The key leaves, the keeper comes, the door moves and its mode changes.
    m_markers->Update({{0.7f, 0.3f, "take", "items_door"}, {0.4f, 0.6f, "use", "characters_keeper"}}, 0.0f,
                      ASPECT);
    EXPECT_EQ(m_markers->Count(), 2u);
    EXPECT_EQ(m_markers->Find("items_key"), nullptr);
    EXPECT_FALSE(Ogre::OverlayManager::getSingleton().hasOverlayElement("_olc_hotspot_items_key"));
    EXPECT_EQ(m_markers->Find("items_door"), door) << "a marker that stays is kept";
    EXPECT_EQ(Marker("items_door").getMaterialName(), "gui/hs_take");
    EXPECT_NEAR(Marker("items_door").getLeft() + 0.02f, 0.7f, 1e-5f);
    EXPECT_NE(m_markers->Find("characters_keeper"), nullptr);

    m_markers->Update({}, 0.0f, ASPECT);
    EXPECT_EQ(m_markers->Count(), 0u);
    EXPECT_EQ(m_overlay->getChild("_olc_hotspot_items_door"), nullptr);
}

TEST_F(Markers, AHotspotWithoutItsPictureGetsNoMarkerAndOneLogLine)
{
    for (int frame = 0; frame < 3; ++frame)
        m_markers->Update({{0.2f, 0.5f, "look", "items_lamp"}, {0.6f, 0.5f, "use", "items_door"}}, 0.0f,
                          ASPECT);
    EXPECT_EQ(m_markers->Find("items_lamp"), nullptr);
    EXPECT_NE(m_markers->Find("items_door"), nullptr);
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_ERROR), 1u);
    EXPECT_TRUE(m_log.Contains("gui/hs_look"));
}
} // namespace
