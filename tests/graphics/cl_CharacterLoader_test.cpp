#include "graphics/cl_CharacterLoader.h"

#include "common/XmlParse.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_MovementControl.h"
#include "graphics/cl_TurnControl.h"
#include "support/HeadlessOgre.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <string>
#include <vector>

namespace
{
// A bare character that reads character elements.
class CharacterLoading : public testing::Test
{
protected:
    bool Load(const std::string& xml)
    {
        TiXmlDocument document;
        ParseXml(document, xml, "a character");
        EXPECT_FALSE(document.Error()) << xml;
        return cl_CharacterLoader::Load(document.RootElement(), &m_hero);
    }

    LogCapture m_log;
    HeadlessOgre m_ogre;
    cl_Character m_hero{m_ogre.SceneManager(), "hero"};
};

TEST_F(CharacterLoading, ControlsAreMadeByTypeAndHeardByTheCharacter)
{
    ASSERT_TRUE(Load(R"(<character><controls>
        <movectrl name="move" stopwalk="10"/>
        <turnctrl name="turn" morphduration="0.5"/>
        <dancectrl name="dance"/>
        <turnctrl name="spin"/>
    </controls></character>)"));
    EXPECT_EQ(m_hero.GetPuppet()->GetControlNames(), (std::vector<std::string>{"move", "spin", "turn"}));
    cl_MovementControl* move = m_hero.GetMovementControl();
    ASSERT_EQ(move, m_hero.GetPuppet()->GetControl("move"));
    EXPECT_EQ(move->GetStopDistance(), 10.0f) << "the control read its element";
    EXPECT_EQ(move->GetListener(), &m_hero);
    EXPECT_EQ(m_hero.GetTurnControl(), m_hero.GetPuppet()->GetControl("spin")) << "the last of a kind";
    EXPECT_EQ(static_cast<cl_TurnControl*>(m_hero.GetPuppet()->GetControl("turn"))->GetMorphDuration(), 0.5f);
    EXPECT_TRUE(m_log.Contains("A control type was unknown and couldn't be added!", cl_Logger::LEVEL_ERROR));
}

TEST_F(CharacterLoading, ANameTakenAlreadyMakesThatControlReadTheElement)
{
    ASSERT_TRUE(Load(R"(<character><controls><movectrl name="move"/></controls></character>)"));
    cl_MovementControl* move = m_hero.GetMovementControl();
    ASSERT_TRUE(Load(R"(<character><controls>
        <turnctrl name="move"/>
        <movectrl name="move" minstartrun="800"/>
    </controls></character>)"));
    EXPECT_EQ(m_hero.GetPuppet()->GetControlNames(), std::vector<std::string>{"move"});
    EXPECT_EQ(m_hero.GetMovementControl(), move);
    EXPECT_EQ(m_hero.GetTurnControl(), nullptr) << "the type of a taken name is not looked at";
    EXPECT_EQ(move->GetMinRunDistance(), 800.0f);
}

TEST_F(CharacterLoading, WalkingDistancesKeepWhatIsNotANumber)
{
    struct Case
    {
        const char* name;
        const char* element;
        float toTarget;
        float toPosition;
    } cases[] = {
        {"none: the defaults", "<character/>", 50.0f, 25.0f},
        {"both", R"(<character><minwalkdist morphtarget="80" position="30.5"/></character>)", 80.0f, 30.5f},
        {"no number", R"(<character><minwalkdist morphtarget="far" position=""/></character>)", 80.0f, 30.5f},
        {"one", R"(<character><minwalkdist position="12"/></character>)", 80.0f, 12.0f},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(Load(c.element));
        EXPECT_EQ(m_hero.GetMinWalkDistanceToTarget(), c.toTarget);
        EXPECT_EQ(m_hero.GetMinWalkDistanceToPosition(), c.toPosition);
    }
}

TEST_F(CharacterLoading, ACharacterReadIsInactiveUntilAScene)
{
    EXPECT_FALSE(cl_CharacterLoader::Load(nullptr, &m_hero));
    EXPECT_EQ(m_hero.GetActivity(), cl_Character::ACTIVITY_NEVER_ACTIVE) << "nothing read";
    TiXmlElement element("character");
    EXPECT_FALSE(cl_CharacterLoader::Load(&element, nullptr));

    ASSERT_TRUE(Load("<character/>"));
    EXPECT_EQ(m_hero.GetActivity(), cl_Character::ACTIVITY_INACTIVE);
    m_hero.SetActive(true);
    ASSERT_TRUE(Load("<character/>"));
    EXPECT_EQ(m_hero.GetActivity(), cl_Character::ACTIVITY_IDLE) << "only a character never active changes";
}
TEST_F(CharacterLoading, TheFocusComesFromTheFirstPlaceThatNamesIt)
{
    const struct
    {
        const char* name;
        const char* children;
        const char* bone;
        const char* slave;
    } cases[] = {
        {"the character's focustarget beats the puppet's",
         R"(<focustarget bone="B" slave="S"/><puppet><focustarget><bone>C</bone></focustarget></puppet>)",
         "B", "S"},
        {"an empty bone falls through to the puppet",
         R"(<focustarget bone="" slave="S"/><puppet><focustarget><bone>C</bone></focustarget></puppet>)", "C",
         ""},
        {"a puppet focustarget without bone changes nothing",
         R"(<puppet external="characters_nobody"><focustarget/></puppet>)", "C", ""},
        {"an unknown lender changes nothing", R"(<puppet external="characters_nobody"/>)", "C", ""},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(Load(std::string("<character>") + c.children + "</character>"));
        EXPECT_EQ(m_hero.GetFocusBone(), c.bone);
        EXPECT_EQ(m_hero.GetFocusSlave(), c.slave);
    }
}

TEST_F(CharacterLoading, HeightTakesItsTextAndTheRestStaysWhenNotNamed)
{
    EXPECT_EQ(m_hero.GetHeight(), 200.0f);
    const struct
    {
        const char* xml;
        float height;
    } cases[] = {{"<character/>", 200.0f},
                 {"<character><height>180.5</height></character>", 180.5f},
                 {"<character><height>tall</height></character>", 0.0f},
                 {"<character><minwalkdist position='9'/></character>", 0.0f}};
    for (const auto& c : cases)
    {
        ASSERT_TRUE(Load(c.xml));
        EXPECT_EQ(m_hero.GetHeight(), c.height) << c.xml;
    }
    EXPECT_EQ(m_hero.GetMinWalkDistanceToPosition(), 9.0f);
    EXPECT_EQ(m_hero.GetMinWalkDistanceToTarget(), 50.0f);
}

TEST_F(CharacterLoading, ExtendAddsTheFilesPuppetPartsAndNamesWhatItCannotRead)
{
    cl_CharacterLoader::Extend(nullptr, nullptr);
    EXPECT_TRUE(m_log.Contains("Extending Character failed!", cl_Logger::LEVEL_ERROR));
    ASSERT_TRUE(Load(R"(<character><controls><gaitctrl name="gait"/></controls></character>)"));
    EXPECT_TRUE(m_log.Contains("The control 'gait' of 'hero' has the unknown type 'gaitctrl'.",
                               cl_Logger::LEVEL_WARNING));
    EXPECT_EQ(m_hero.GetActivity(), cl_Character::ACTIVITY_INACTIVE) << "the rest is read";
}
} // namespace
