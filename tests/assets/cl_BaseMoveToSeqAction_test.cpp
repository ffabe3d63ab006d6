#include "assets/cl_BaseMoveToSeqAction.h"

#include "common/cl_Logger.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_ControlledPuppet.h"
#include "support/ActionProbe.h"
#include "support/ActionWorld.h"

#include <OgreSceneNode.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace
{
class Walks : public testing::Test
{
protected:
    float HeroX() const { return m_actions.Hero().GetSceneNode()->_getDerivedPosition().x; }

    ActionWorld m_actions;
    LogCapture& m_log = m_actions.world.assets.log;
};
} // namespace

TEST_F(Walks, OpIsTheScenesPositionOfTheWalkerAndOtherNamesAreNodes)
{
    const ActionProbe walk("<action type='MoveToPositionAction'/>");
    const auto& action = static_cast<const cl_BaseMoveToSeqAction&>(walk.Action());
    const struct
    {
        const char* name;
        const char* node;
    } cases[] = {
        {"op", "positions_start"}, // where the hero stands
        {"positions_door", "positions_door"},
        {"op_characters_hero", "op_characters_hero"},
        {"nowhere", ""},
    };
    for (const auto& c : cases)
    {
        const Ogre::SceneNode* node = action.FindTargetNode(c.name);
        EXPECT_EQ(node ? node->getName() : std::string(), c.node) << c.name;
    }
}

// The test bodies have no walking controls and stand on no navigation mesh: every walk of theirs fails, is
// logged and finishes the action.
TEST_F(Walks, AWalkEndsWhereItAimedAndAFailedOneIsLoggedAndFinishes)
{
    const struct
    {
        const char* xml;
        const char* trace;
        float x;            // of the hero afterwards
        const char* errors; // the lines, in order, joined by '|'; empty: none
    } cases[] = {
        {"<action type='MoveToPositionAction' locationref='positions_door'/>", "SD", 0.0f,
         "MoveToPositionAction '' failed to make the avatar go to 'positions_door'!"},
        {"<action type='MoveToPositionAction' locationref='op'/>", "SD", 0.0f,
         "MoveToPositionAction '' failed to make the avatar go to 'op'!"},
        {"<action type='MoveToPositionAction' locationref='nowhere'/>", "D", 0.0f,
         "BaseMoveToAction couldn't find the target 'nowhere'!"},
        {"<action type='MoveToPositionAction' movingcharacter='ghost' locationref='nowhere'/>", "D", 0.0f,
         "BaseMoveToAction couldn't retrieve the character!|BaseMoveToAction couldn't find the target "
         "'nowhere'!"},
        {"<action type='MoveToAction' id='m' itemref='items_ghost'/>", "D", 0.0f,
         "MoveToAction 'm' failed to make the avatar go to 'items_ghost'!"},
        {"<action type='MoveToCharacterAction' id='m' characterref='ghost'/>", "D", 0.0f,
         "MoveToCharacterAction 'm' failed to make the avatar go to 'ghost'!"},
        {"<action type='MoveToAnimoAction' id='m' movingchar='ghost' animationname='sit'/>", "D", 0.0f,
         "MoveToAnimo 'm' failed to move to origin of 'sit'!"},
    };
    for (const auto& c : cases)
    {
        m_log.Clear();
        ActionProbe walk(c.xml);
        walk.Start();
        EXPECT_EQ(walk.trace, c.trace) << c.xml;
        EXPECT_FLOAT_EQ(HeroX(), c.x) << c.xml;
        std::string errors;
        for (const LogCapture::Line& line : m_log.Lines())
        {
            if (line.level & cl_Logger::LEVEL_ERROR)
                errors += (errors.empty() ? "" : "|") + line.text;
        }
        std::string expected = c.errors;
        size_t found = 0;
        for (size_t start = 0; start < expected.size();)
        {
            const size_t end = std::min(expected.find('|', start), expected.size());
            const std::string part = expected.substr(start, end - start);
            found = errors.find(part, found);
            EXPECT_NE(found, std::string::npos) << c.xml << ": " << part << " in " << errors;
            start = end + 1;
        }
        if (expected.empty())
            EXPECT_EQ(errors, "") << c.xml;
    }
}

TEST_F(Walks, AWalkWithoutInteractionTargetOnlyWarns)
{
    ActionProbe walk("<action type='MoveToInteractionTargetAction'/>");
    walk.Start();
    EXPECT_EQ(walk.trace, "SD");
    EXPECT_TRUE(
        m_log.Contains("MoveToInteractionTargetAction does nothing because no InteractionTarget is set!",
                       cl_Logger::LEVEL_WARNING));
}

TEST_F(Walks, PlacingPutsCharactersAndItemsInAndOutOfTheScene)
{
    cl_Character& keeper = m_actions.Keeper();
    const struct
    {
        const char* helper;
        bool active;
        float x;
        const char* error;
    } cases[] = {
        {"positions_door", true, 100.0f, ""},
        {"void", false, 0.0f, ""},
        {"avatar", true, 30.0f, ""},
        {"nowhere", false, 30.0f,
         "PlaceAction 'p' failed to place 'characters_keeper' at 'nowhere' because "
         "'nowhere' could not be resolved!"},
    };
    m_actions.Hero().SetLocation("op_characters_hero");
    for (const auto& c : cases)
    {
        m_log.Clear();
        ActionProbe place(
            std::string("<action type='PlaceAction' id='p' objref='characters_keeper' poshelper='") +
            c.helper + "'/>");
        place.Start();
        EXPECT_EQ(place.trace, "SD") << c.helper;
        EXPECT_EQ(keeper.GetPuppet()->IsActive(), c.active) << c.helper;
        EXPECT_FLOAT_EQ(keeper.GetSceneNode()->_getDerivedPosition().x, c.x) << c.helper;
        if (*c.error)
            EXPECT_TRUE(m_log.Contains(c.error, cl_Logger::LEVEL_ERROR)) << c.helper;
    }

    m_log.Clear();
    ActionProbe nothing("<action type='PlaceAction' id='p' objref='ghost' poshelper='positions_door'/>");
    nothing.Start();
    EXPECT_EQ(nothing.trace, "SD") << "an unknown object does not hold the sequence";
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_ERROR), 1u);
}
