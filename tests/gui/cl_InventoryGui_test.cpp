#include "gui/cl_InventoryGui.h"

#include "assets/cl_ItemAsset.h"
#include "common/cl_Logger.h"
#include "support/HeadlessOverlays.h"
#include "support/ViewWorld.h"

#include <gtest/gtest.h>

#include <OgreMaterialManager.h>
#include <OgrePass.h>
#include <OgreTechnique.h>
#include <OgreTextureUnitState.h>
#include <Overlay/OgreOverlayContainer.h>
#include <Overlay/OgreOverlayManager.h>

#include <string>
#include <utility>

namespace
{
// The inventory row of the demo's new game across the whole screen from 0.8 down, 0.125 high; the hero
// carries the cloth.
class InventoryViewTest : public testing::Test
{
protected:
    InventoryViewTest()
    {
        m_view.SetSize(1.0f, 0.125f);
        m_view.SetPosition(0.0f, 0.8f);
        m_view.Init(&m_world.Overlay("front"), &m_world.Overlay("back"));
    }
    ~InventoryViewTest() override { m_view.Destroy(); }

    // The ids of the icons in the row's order, separated by spaces.
    std::string Icons() const
    {
        std::string icons;
        for (const char* id : {"items_cloth", "items_key", "items_lamp"})
        {
            if (m_view.FindItemPanel(id))
                icons += (icons.empty() ? "" : " ") + std::string(id);
        }
        return icons;
    }
    const InventoryItemPanel& Icon(const std::string& id) const
    {
        const InventoryItemPanel* icon = m_view.FindItemPanel(id);
        if (!icon)
            throw std::runtime_error("no icon for " + id);
        return *icon;
    }
    // The middle of the icon, in fractions of the screen.
    std::pair<float, float> Centre(const std::string& id) const
    {
        const Ogre::OverlayElement& panel = *Icon(id).panel;
        return {panel.getLeft() + panel.getWidth() / 2, 0.8f + panel.getTop() + panel.getHeight() / 2};
    }
    // The name of the panel the icon is drawn in.
    std::string Parent(const std::string& id) const { return Icon(id).panel->getParent()->getName(); }
    // Opens the row and lets its icons grow to their size.
    void Open()
    {
        m_view.SetOpen(true);
        Frames(4, 0.05f);
    }
    void Frames(int count, float dt)
    {
        for (int frame = 0; frame < count; ++frame)
            m_view.Update(dt);
    }
    // The alpha the icon's material gives its picture.
    static float Alpha(const std::string& id)
    {
        const Ogre::MaterialPtr material = Ogre::MaterialManager::getSingleton().getByName(
            cl_InventoryGui::GetIconMaterialName(id),
            Ogre::ResourceGroupManager::AUTODETECT_RESOURCE_GROUP_NAME);
        const Ogre::LayerBlendModeEx& blend =
            material->getTechnique(0)->getPass(0)->getTextureUnitState(0)->getAlphaBlendMode();
        return blend.operation == Ogre::LBX_MODULATE && blend.source1 == Ogre::LBS_MANUAL ? blend.alphaArg1
                                                                                          : 1.0f;
    }
    cl_Inventory& Inventory() { return m_world.hub.GetInventory(); }

    HeadlessOverlays m_ogre;
    ViewWorld m_world;
    cl_InventoryGui m_view;
};

TEST_F(InventoryViewTest, OnlyTheCurrentCharactersItemsShow)
{
    const struct
    {
        const char* what;
        void (cl_Inventory::*change)(const std::string&, const std::string&);
        const char* itemId;
        const char* characterId;
        const char* icons;
    } cases[] = {
        {"the keeper receives the key", &cl_Inventory::AddItem, "items_key", "characters_keeper",
         "items_cloth"},
        {"the keeper loses it", &cl_Inventory::RemoveItem, "items_key", "characters_keeper", "items_cloth"},
        {"the hero receives the key", &cl_Inventory::AddItem, "items_key", "characters_hero",
         "items_cloth items_key"},
        {"the hero loses the cloth", &cl_Inventory::RemoveItem, "items_cloth", "characters_hero",
         "items_key"},
    };
    EXPECT_EQ(Icons(), "items_cloth") << "what the hero carries from the start";
    for (const auto& c : cases)
    {
        (Inventory().*c.change)(c.itemId, c.characterId);
        EXPECT_EQ(Icons(), c.icons) << c.what;
    }
    Inventory().AddItem("items_lamp", "characters_keeper");
    Inventory().SetItemIconTag("items_lamp", "_lit");
    EXPECT_EQ(Icons(), "items_key") << "a tag of another character's item";
    Inventory().SetCurrentCharacter("characters_keeper");
    Inventory().TellInventoryChanged();
    EXPECT_EQ(Icons(), "items_lamp") << "the keeper's items once he is the current character";
}

TEST_F(InventoryViewTest, AReceivedItemPopsUpAndATagMakesItsIconAnew)
{
    Inventory().AddItem("items_key", "characters_hero");
    EXPECT_EQ(Icon("items_key").timer, 1.5f);
    EXPECT_EQ(Icon("items_key").scale, 1.0f) << "shown on the closed row";
    EXPECT_EQ(Alpha("items_key"), 0.0f) << "fading in from nothing";
    EXPECT_EQ(Icon("items_cloth").scale, 0.0f) << "the others stay hidden";
    Frames(6, 0.25f);
    EXPECT_EQ(Icon("items_key").scale, 0.0f);
    EXPECT_EQ(Alpha("items_key"), 1.0f);

    Inventory().SetItemIconTag("items_key", "_shiny");
    EXPECT_EQ(Icon("items_key").panel->getMaterialName(), "inv_items_key_shiny");
    EXPECT_EQ(Icon("items_key").timer, 1.5f) << "the new icon pops up";
    Inventory().SetItemIconTag("items_lamp", "_lit");
    EXPECT_EQ(Icons(), "items_cloth items_key") << "an item the hero does not carry gets no icon";
}

TEST_F(InventoryViewTest, GetIdAtFindsTheIconUnderThePointAndRaisesIt)
{
    Inventory().AddItem("items_key", "characters_hero");
    Frames(6, 0.25f);
    EXPECT_EQ(m_view.GetIdAt(Centre("items_key").first, 0.99f), "") << "the row is closed";
    Open();
    const auto [clothX, clothY] = Centre("items_cloth");
    const struct
    {
        const char* what;
        float x;
        float y;
        const char* id;
        const char* clothPanel;
    } cases[] = {
        {"on the cloth", clothX, clothY, "items_cloth", "_inventory_fg"},
        {"below the row", clothX, 0.999f, "items_cloth", "_inventory_fg"},
        {"on a gap", 0.1f, clothY, "", "_inventory_bg"},
        {"on the key", Centre("items_key").first, clothY, "items_key", "_inventory_bg"},
        {"above the row", clothX, 0.5f, "", "_inventory_bg"},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(m_view.GetIdAt(c.x, c.y), c.id) << c.what;
        EXPECT_EQ(Parent("items_cloth"), c.clothPanel) << c.what;
    }
}

TEST_F(InventoryViewTest, TheHeldItemsIconIsHalfTransparentAndCannotBePicked)
{
    Inventory().AddItem("items_key", "characters_hero");
    Frames(6, 0.25f);
    Open();
    const auto [x, y] = Centre("items_cloth");
    m_world.hub.SetSelectedItem(&m_world.Item("items_cloth"));
    EXPECT_EQ(Alpha("items_cloth"), 0.5f);
    EXPECT_EQ(m_view.GetIdAt(x, y), "");

    m_world.hub.SetSelectedItem(&m_world.Item("items_key"));
    EXPECT_EQ(Alpha("items_key"), 0.5f);
    EXPECT_EQ(Alpha("items_cloth"), 1.0f) << "only the item on the pointer is held";
    EXPECT_EQ(m_view.GetIdAt(x, y), "items_cloth");

    m_world.hub.SetSelectedItem(nullptr);
    EXPECT_EQ(Alpha("items_key"), 1.0f);
    EXPECT_EQ(m_view.GetIdAt(Centre("items_key").first, y), "items_key");
}

TEST_F(InventoryViewTest, AnItemListedTwiceOrNamedLikeAnotherElementGetsOneIconOrNone)
{
    std::string state = DemoNewGameState();
    const std::string cloth = "<item itemid=\"items_cloth\"/>";
    state.replace(state.find(cloth), cloth.size(), cloth + cloth + "<item itemid=\"\"/>");
    m_world.Load(state);
    EXPECT_EQ(Icons(), "items_cloth");
    EXPECT_TRUE(m_world.assets.log.Contains("items_cloth", cl_Logger::LEVEL_ERROR));

    Ogre::OverlayManager::getSingleton().createOverlayElement("Panel", "items_lamp");
    Inventory().AddItem("items_lamp", "characters_hero");
    EXPECT_EQ(Icons(), "items_cloth");
    EXPECT_TRUE(m_world.assets.log.Contains("items_lamp", cl_Logger::LEVEL_ERROR));
    EXPECT_EQ(m_world.assets.log.Count(cl_Logger::LEVEL_ERROR), 2u);
}
} // namespace
