#include "gui/cl_PartyGui.h"

#include "common/cl_Logger.h"
#include "gamecomponents/cl_Party.h"
#include "support/HeadlessOverlays.h"
#include "support/ViewWorld.h"

#include <gtest/gtest.h>

#include <OgreMaterialManager.h>
#include <OgrePass.h>
#include <OgreTechnique.h>
#include <OgreTextureUnitState.h>
#include <Overlay/OgreOverlayElement.h>
#include <Overlay/OgreOverlayManager.h>

#include <stdexcept>
#include <string>

namespace
{
// The party column of the demo's new game at (0.02, 0.02); the hero is its only member and the current
// character.
class PartyViewTest : public testing::Test
{
protected:
    PartyViewTest()
    {
        m_view.SetPosition(0.02f, 0.02f);
        m_view.Init(&m_world.Overlay("back"));
        m_view.OnActiveCharacterChanged("characters_hero");
    }
    ~PartyViewTest() override { m_view.Destroy(); }

    const PartyPortrait& Portrait(const std::string& id) const
    {
        const PartyPortrait* portrait = m_view.FindPortrait(id);
        if (!portrait)
            throw std::runtime_error("no portrait of " + id);
        return *portrait;
    }
    // The picture the portrait shows.
    std::string Picture(const std::string& id) const { return Portrait(id).panel->getMaterialName(); }
    // A point on the portrait, in fractions of the screen.
    float X(const std::string& id) const { return 0.02f + Portrait(id).panel->getLeft() + 0.01f; }
    float Y(const std::string& id) const { return 0.02f + Portrait(id).panel->getTop() + 0.01f; }
    cl_Party& Party() { return m_world.hub.GetParty(); }

    HeadlessOverlays m_ogre;
    ViewWorld m_world;
    cl_PartyGui m_view;
};

TEST(PartyPortraitMaterial, NamesTheMemberItsTagAndItsStateWithTheActivePictureFirst)
{
    HeadlessOverlays ogre;
    ViewWorld world;
    const struct
    {
        const char* tag;
        bool active;
        bool hovered;
        const char* name;
    } cases[] = {
        {"", false, false, "icon_characters_hero"},
        {"", true, false, "icon_characters_hero_active"},
        {"", false, true, "icon_characters_hero_selected"},
        {"", true, true, "icon_characters_hero_active"},
        {"wet", false, false, "icon_characters_hero_wet"},
        {"wet", true, false, "icon_characters_hero_wet_active"},
        {"wet", false, true, "icon_characters_hero_wet_selected"},
        {"wet", true, true, "icon_characters_hero_wet_active"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(cl_PartyGui::GetPortraitMaterialName("characters_hero", c.tag, c.active, c.hovered),
                  c.name);
        const Ogre::MaterialPtr material =
            Ogre::MaterialManager::getSingleton().getByName(c.name, "GAMEDATA");
        ASSERT_TRUE(material);
        const Ogre::Pass& pass = *material->getTechnique(0)->getPass(0);
        EXPECT_FALSE(pass.getLightingEnabled());
        EXPECT_EQ(pass.getSourceBlendFactor(), Ogre::SBF_SOURCE_ALPHA);
        EXPECT_EQ(pass.getDestBlendFactor(), Ogre::SBF_ONE_MINUS_SOURCE_ALPHA);
        EXPECT_EQ(pass.getTextureUnitState(0)->getTextureName(), std::string(c.name) + ".tga");
    }
    // A material of that name that exists already is the one shown.
    Ogre::MaterialManager::getSingleton().create("icon_characters_keeper", "General");
    EXPECT_EQ(cl_PartyGui::GetPortraitMaterialName("characters_keeper", "", false, false),
              "icon_characters_keeper");
    EXPECT_EQ(
        Ogre::MaterialManager::getSingleton()
            .getByName("icon_characters_keeper", Ogre::ResourceGroupManager::AUTODETECT_RESOURCE_GROUP_NAME)
            ->getGroup(),
        "General");
}

TEST_F(PartyViewTest, TheColumnShowsOnlyForAPartyOfMoreThanOne)
{
    const struct
    {
        const char* what;
        void (*change)(cl_Party& party);
        bool shown;
    } cases[] = {
        {"the hero alone", [](cl_Party&) {}, false},
        {"the keeper joins", [](cl_Party& party) { party.AddMember("characters_keeper"); }, true},
        {"the hero leaves", [](cl_Party& party) { party.RemoveMember("characters_hero"); }, false},
        {"the keeper leaves too", [](cl_Party& party) { party.RemoveMember("characters_keeper"); }, false},
        {"one who is no member leaves", [](cl_Party& party) { party.RemoveMember("characters_hero"); },
         false},
        {"both join",
         [](cl_Party& party)
         {
             party.AddMember("characters_hero");
             party.AddMember("characters_keeper");
         },
         true},
    };
    for (const auto& c : cases)
    {
        c.change(Party());
        m_view.Layout();
        EXPECT_EQ(m_view.IsShown(), c.shown) << c.what;
        EXPECT_EQ(m_view.GetIdAt(0.03f, 0.03f).empty(), !c.shown) << c.what;
    }
    // Each is 0.0625 wide and, on the 4:3 screen, as many pixels high; the keeper joined last and stands
    // below the hero.
    const Ogre::OverlayElement& keeper = *Portrait("characters_keeper").panel;
    EXPECT_FLOAT_EQ(keeper.getWidth(), 0.0625f);
    EXPECT_FLOAT_EQ(keeper.getHeight(), 0.0625f * 4 / 3);
    EXPECT_FLOAT_EQ(keeper.getTop(), 0.0625f * 4 / 3);
    EXPECT_FLOAT_EQ(keeper.getLeft(), 0.0f);
}

TEST_F(PartyViewTest, ThePortraitUnderTheMouseShowsItsSelectedPictureUnlessItIsActive)
{
    Party().AddMember("characters_keeper");
    EXPECT_EQ(Picture("characters_hero"), "icon_characters_hero_active");
    EXPECT_EQ(Picture("characters_keeper"), "icon_characters_keeper");

    EXPECT_EQ(m_view.GetIdAt(X("characters_keeper"), Y("characters_keeper")), "characters_keeper");
    EXPECT_EQ(Picture("characters_keeper"), "icon_characters_keeper_selected");
    EXPECT_EQ(m_view.GetIdAt(X("characters_hero"), Y("characters_hero")), "characters_hero");
    EXPECT_EQ(Picture("characters_hero"), "icon_characters_hero_active") << "the active picture wins";
    EXPECT_EQ(Picture("characters_keeper"), "icon_characters_keeper") << "left by the mouse";

    m_view.OnActiveCharacterChanged("characters_keeper");
    EXPECT_EQ(Picture("characters_hero"), "icon_characters_hero_selected");
    EXPECT_EQ(Picture("characters_keeper"), "icon_characters_keeper_active");
    EXPECT_EQ(m_view.GetIdAt(0.5f, 0.5f), "");
    EXPECT_EQ(Picture("characters_hero"), "icon_characters_hero");

    m_view.Hide();
    EXPECT_EQ(m_view.GetIdAt(X("characters_hero"), Y("characters_hero")), "") << "a hidden column";
}

TEST_F(PartyViewTest, ATagSetMakesThePortraitsAnewAndTheCurrentCharacterActive)
{
    Party().AddMember("characters_keeper");
    m_view.OnActiveCharacterChanged("characters_keeper");
    Party().SetMemberTag("characters_hero", "wet");
    EXPECT_EQ(Portrait("characters_hero").tag, "wet");
    EXPECT_EQ(Picture("characters_hero"), "icon_characters_hero_wet_active")
        << "the game state's current character is the active one again";
    EXPECT_EQ(Picture("characters_keeper"), "icon_characters_keeper");
    Party().SetMemberTag("characters_hero", "");
    EXPECT_EQ(Picture("characters_hero"), "icon_characters_hero_active");
}

TEST_F(PartyViewTest, AMemberListedTwiceOrNamedLikeAnotherElementGetsOnePortraitOrNone)
{
    std::string state = DemoNewGameState();
    const std::string hero = "<member characterid=\"characters_hero\"/>";
    state.replace(state.find(hero), hero.size(), hero + hero + "<member characterid=\"\"/>");
    m_world.Load(state);
    EXPECT_NE(m_view.FindPortrait("characters_hero"), nullptr);
    EXPECT_FALSE(m_view.IsShown()) << "one member";
    EXPECT_TRUE(m_world.assets.log.Contains("characters_hero", cl_Logger::LEVEL_ERROR));

    Ogre::OverlayManager::getSingleton().createOverlayElement("Panel", "characters_keeper");
    Party().AddMember("characters_keeper");
    EXPECT_EQ(m_view.FindPortrait("characters_keeper"), nullptr);
    EXPECT_TRUE(m_world.assets.log.Contains("characters_keeper", cl_Logger::LEVEL_ERROR));
    EXPECT_EQ(m_world.assets.log.Count(cl_Logger::LEVEL_ERROR), 2u);
}
} // namespace
