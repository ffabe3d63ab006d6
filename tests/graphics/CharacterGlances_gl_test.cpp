#include "TarqApp.h"

#include "common/cl_GameTime.h"
#include "common/cl_ScriptSystem.h"
#include "gamecomponents/cl_GameComponents.h"
#include "graphics/cl_AutoActionControl.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_CharacterManager.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_FocusTargetControl.h"
#include "graphics/cl_Scene.h"
#include "graphics/cl_SceneManager.h"
#include "graphics/cl_SceneObject.h"
#include "graphics/cl_TurnControl.h"
#include "platform/GameRand.h"
#include "support/DemoWorkingFolder.h"
#include "support/LoadedLibraries.h"

#include <gtest/gtest.h>

#include <OgreCamera.h>
#include <OgreRoot.h>
#include <OgreSceneNode.h>

#include <functional>
#include <memory>

namespace
{
constexpr float FRAME = 1.0f / 30.0f;

class StartedApp : public TarqApp
{
public:
    using TarqApp::setup;
};

// The demo's chapter 1 as a new game starts it: the hero, the player's character, stands idle on the tower
// hall's floor, where the keeper (weight 3), the key (1) and the door (1) are what he may glance at.
class HeroGlances : public testing::Test
{
protected:
    void SetUp() override
    {
        m_app = std::make_unique<StartedApp>();
        ASSERT_TRUE(m_app->setup());
        KeepLoadedLibraries();
        cl_ScriptSystem::GetInstance()->ExecuteString("sendcmd('game', 'StartChapter', 'chapter1')");
        m_app->GetRoot()->renderOneFrame();
        m_hero = cl_CharacterManager::GetInstance()->GetCharacter("characters_hero");
        ASSERT_NE(m_hero, nullptr);
        ASSERT_EQ(cl_GameComponents::GetInstance()->GetCurrentCharacter(), m_hero);
        ASSERT_EQ(m_hero->GetActivity(), cl_Character::ACTIVITY_IDLE);
        ASSERT_EQ(m_hero->GetBusyCount(), 0);
        ASSERT_NE(m_hero->GetNavmesh(), nullptr);
        m_focus = m_hero->GetFocusControl();
        m_autoAction = m_hero->GetAutoActionControl();
        ASSERT_NE(m_focus, nullptr);
        ASSERT_NE(m_autoAction, nullptr);
        ASSERT_FALSE(m_autoAction->IsPending());
    }
    void TearDown() override
    {
        m_app.reset();
        platform::GameSrand(1);
    }

    // The hero's glance interval runs out and his next update looks round with the generator seeded just
    // before: the glance makes the first draws of seed's sequence.
    void GlanceWithSeed(unsigned int seed)
    {
        m_hero->SetIdleTime(m_hero->GetGlanceInterval() + FRAME);
        platform::GameSrand(seed);
        m_hero->Update(FRAME);
    }
    // The draw'th value (from 1) of seed's sequence.
    static int Draw(unsigned int seed, int draw)
    {
        platform::GameSrand(seed);
        int value = 0;
        for (int n = 0; n < draw; ++n)
            value = platform::GameRand();
        return value;
    }
    // Frames of the game time until done holds, for at most a few seconds (less than a glance interval, so
    // that the hero does not look round again meanwhile). True when done held.
    static bool FramesUntil(const std::function<bool()>& done)
    {
        for (int frame = 0; frame < 120; ++frame)
        {
            if (done())
                return true;
            cl_GameTime::GetInstance()->Update(FRAME);
        }
        return done();
    }

    Ogre::SceneNode& Body() const { return *m_hero->GetPuppet()->GetSceneNode(); }
    // Degrees, seen from above, between the way the hero faces and the way to point.
    float DegreesOffFacing(const Ogre::Vector3& point) const
    {
        Ogre::Vector3 facing = Body()._getDerivedOrientation() * Ogre::Vector3::UNIT_Z;
        Ogre::Vector3 way = point - Body()._getDerivedPosition();
        facing.y = 0.0f;
        way.y = 0.0f;
        return facing.angleBetween(way).valueDegrees();
    }
    // Turns the hero, standing where he stands, so that point lies degrees to his side.
    void FaceAside(const Ogre::Vector3& point, float degrees) const
    {
        Ogre::Vector3 way = point - Body()._getDerivedPosition();
        way.y = 0.0f;
        const Ogre::Quaternion facingPoint = Ogre::Vector3::UNIT_Z.getRotationTo(way.normalisedCopy());
        Body().setOrientation(Ogre::Quaternion(Ogre::Degree(degrees), Ogre::Vector3::UNIT_Y) * facingPoint);
    }

    DemoWorkingFolder m_game{QUILLMERE_BUILT_DEMO_DIR};
    std::unique_ptr<StartedApp> m_app;
    cl_Character* m_hero = nullptr;
    cl_FocusTargetControl* m_focus = nullptr;
    cl_AutoActionControl* m_autoAction = nullptr;
};

TEST_F(HeroGlances, AGlanceAtAnObjectFollowsTheWeightsAndTurnsHimOnlyWhenItLiesFartherThanThirtyDegrees)
{
    // The second draw modulo the weight sum 5 picks the first record whose running sum (keeper 3, key 4,
    // door 5) reaches it.
    const struct
    {
        const char* name;
        unsigned int seed;
        int pick;
        const char* object;
        float degreesAside;
        bool turns;
    } cases[] = {
        {"the keeper (pick 1), far to his side: he turns to him", 2, 1, "characters_keeper", 100.0f, true},
        {"the key (pick 4), a little aside: only his head moves", 16, 4, "items_key", 20.0f, false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(Draw(c.seed, 1) % 3, 0) << "a glance at an object";
        ASSERT_EQ(Draw(c.seed, 2) % 5, c.pick);
        const cl_SceneObject* object = cl_SceneObject::ResolveByName(c.object);
        ASSERT_NE(object, nullptr);

        GlanceWithSeed(c.seed);
        EXPECT_EQ(m_hero->GetFocusTarget(), object);
        EXPECT_TRUE(m_focus->HasTarget());
        EXPECT_EQ(m_focus->GetTargetPosition(), m_hero->GetFocusPoint());
        EXPECT_EQ(m_hero->GetActivity(), cl_Character::ACTIVITY_IDLE) << "a glance is no action";

        const Ogre::Vector3 target = m_hero->GetFocusPoint();
        FaceAside(target, c.degreesAside);
        ASSERT_NEAR(DegreesOffFacing(target), c.degreesAside, 0.5f);
        const Ogre::Quaternion before = Body().getOrientation();
        EXPECT_TRUE(
            FramesUntil([&] { return m_focus->IsFocused() && !m_hero->GetTurnControl()->IsTurnPending(); }));
        if (c.turns)
            EXPECT_LT(DegreesOffFacing(target), 30.0f);
        else
            EXPECT_TRUE(Body().getOrientation().equals(before, Ogre::Degree(0.5f)));
        m_hero->StopFocus();
    }
}

TEST_F(HeroGlances, AGlanceAtTheCameraIsALookAtItsPosition)
{
    const unsigned int seed = 6;
    ASSERT_EQ(Draw(seed, 1) % 3, 1);
    const Ogre::Vector3 camera =
        cl_SceneManager::GetInstance()->GetLoadedScene()->GetCamera()->getDerivedPosition();

    GlanceWithSeed(seed);
    EXPECT_EQ(m_hero->GetActivity(), cl_Character::ACTIVITY_TURNING_TO_POINT);
    EXPECT_EQ(m_hero->GetFocusTarget(), nullptr);
    EXPECT_EQ(m_focus->GetTargetPosition(), camera);
    EXPECT_TRUE(FramesUntil([&] { return m_hero->GetActivity() == cl_Character::ACTIVITY_IDLE; }))
        << "the look ends";
}

TEST_F(HeroGlances, TheThirdChoiceTriggersTheAutoActionOnlyWhenItsTimerIsOff)
{
    const unsigned int seed = 9;
    ASSERT_EQ(Draw(seed, 1) % 3, 2);
    const struct
    {
        const char* name;
        bool automatic;
        bool triggered;
    } cases[] = {
        // First, as the triggered action goes on playing.
        {"timer on: it triggers itself", true, false},
        {"timer off: the glance triggers it", false, true},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        m_autoAction->SetAutomatic(c.automatic);
        GlanceWithSeed(seed);
        EXPECT_EQ(m_autoAction->IsPending(), c.triggered);
        EXPECT_EQ(m_hero->GetGlanceInterval(), 6.0f) << "he looked round: no wait for the action";
        EXPECT_FALSE(m_focus->HasTarget());
        cl_GameTime::GetInstance()->Update(FRAME);
        EXPECT_EQ(m_autoAction->IsActive(), c.triggered);
    }
}

TEST_F(HeroGlances, NobodyLooksRoundWhoIsNotThePlayersCharacterOrIsBusy)
{
    const unsigned int seed = 2;
    cl_GameComponents& game = *cl_GameComponents::GetInstance();
    const struct
    {
        const char* name;
        std::function<void()> make;
        std::function<void()> undo;
    } cases[] = {
        {"the keeper is the player's character", [&] { game.SetCurrentCharacter("characters_keeper"); },
         [&] { game.SetCurrentCharacter("characters_hero"); }},
        {"busy", [&] { m_hero->SetBusyCount(1); }, [&] { m_hero->SetBusyCount(0); }},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        c.make();
        ASSERT_EQ(m_hero->GetActivity(), cl_Character::ACTIVITY_IDLE);
        GlanceWithSeed(seed);
        EXPECT_EQ(platform::GameRand(), Draw(seed, 1)) << "nothing drawn";
        EXPECT_EQ(m_hero->GetIdleTime(), 0.0f) << "his time alone starts again";
        EXPECT_FALSE(m_focus->HasTarget());
        EXPECT_EQ(m_hero->GetActivity(), cl_Character::ACTIVITY_IDLE);
        EXPECT_FALSE(m_autoAction->IsPending());
        c.undo();
    }
}
} // namespace
