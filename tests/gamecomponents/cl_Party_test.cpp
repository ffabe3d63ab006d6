#include "gamecomponents/cl_Party.h"

#include "assets/cl_GameState.h"
#include "support/PrintedXml.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <functional>
#include <string>
#include <vector>

namespace
{
class RecordingPartyListener : public IPartyListener
{
public:
    virtual ~RecordingPartyListener() = default;
    void OnMemberAdded(const std::string& characterId) override { lines.push_back("added " + characterId); }
    void OnMemberRemoved(const std::string& characterId) override
    {
        lines.push_back("removed " + characterId);
    }
    void OnPartyChanged() override { lines.push_back("changed"); }

    std::vector<std::string> lines;
};

using Lines = std::vector<std::string>;

// A party over a game state that holds one member, hero, without tag.
class PartyMembers : public testing::Test
{
protected:
    PartyMembers() { m_party.AddListener(&m_listener); }
    ~PartyMembers() override { m_party.RemoveListener(&m_listener); }
    void SetUp() override
    {
        TiXmlElement root("gamestate");
        ASSERT_TRUE(m_gameState.ReplaceTree(root));
        m_party.AddMember("hero");
        m_listener.lines.clear();
    }
    std::string Party() { return PrintedXml(m_gameState.GetRoot()->FirstChildElement("party")); }

    cl_GameState m_gameState;
    cl_Party m_party;
    RecordingPartyListener m_listener;
};

TEST_F(PartyMembers, MemberOperationsChangeTheTreeAndTellTheListeners)
{
    const struct
    {
        const char* name;
        std::function<void(cl_Party&)> change;
        const char* party;
        Lines told;
    } cases[] = {
        {"a new member",
         [](cl_Party& p) { p.AddMember("keeper"); },
         "<party><member characterid=\"hero\" /><member characterid=\"keeper\" /></party>",
         {"added keeper"}},
        {"a member already in",
         [](cl_Party& p) { p.AddMember("hero"); },
         "<party><member characterid=\"hero\" /></party>",
         {}},
        {"a member removed",
         [](cl_Party& p) { EXPECT_TRUE(p.RemoveMember("hero")); },
         "<party />",
         {"removed hero"}},
        {"no member to remove",
         [](cl_Party& p) { EXPECT_FALSE(p.RemoveMember("keeper")); },
         "<party><member characterid=\"hero\" /></party>",
         {}},
        {"a tag",
         [](cl_Party& p) { p.SetMemberTag("hero", "hurt"); },
         "<party><member characterid=\"hero\" tag=\"hurt\" /></party>",
         {"changed"}},
        {"an empty tag on a member without tag is told",
         [](cl_Party& p) { p.SetMemberTag("hero", ""); },
         "<party><member characterid=\"hero\" /></party>",
         {"changed"}},
        {"a tag removed",
         [](cl_Party& p)
         {
             p.SetMemberTag("hero", "hurt");
             p.SetMemberTag("hero", "");
         },
         "<party><member characterid=\"hero\" /></party>",
         {"changed", "changed"}},
        {"a tag for no member",
         [](cl_Party& p) { p.SetMemberTag("keeper", "hurt"); },
         "<party><member characterid=\"hero\" /></party>",
         {}},
    };
    for (const auto& c : cases)
    {
        SetUp();
        c.change(m_party);
        EXPECT_EQ(Party(), c.party) << c.name;
        EXPECT_EQ(m_listener.lines, c.told) << c.name;
    }
}

TEST_F(PartyMembers, MembersAndTagsAreAnswered)
{
    m_party.SetMemberTag("hero", "hurt");
    EXPECT_TRUE(m_party.IsMember("hero"));
    EXPECT_FALSE(m_party.IsMember("Hero"));
    EXPECT_EQ(m_party.GetMemberTag("hero"), "hurt");
    EXPECT_EQ(m_party.GetMemberTag("keeper"), "");
}

TEST_F(PartyMembers, WithoutGameStateTheOperationsDoNothing)
{
    m_gameState.Clear();
    m_party.AddMember("keeper");
    EXPECT_FALSE(m_party.IsMember("hero"));
    EXPECT_FALSE(m_party.RemoveMember("hero"));
    EXPECT_TRUE(m_listener.lines.empty());
}
} // namespace
