#include "graphics/cl_FocusTargetControl.h"

#include "graphics/IPuppetControlListener.h"
#include "graphics/cl_Constraint.h"
#include "graphics/cl_ConstraintEx.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_ManualBone.h"
#include "support/HeroControlTest.h"

#include <OgreBone.h>
#include <OgreSkeletonInstance.h>
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace
{
using Ogre::Degree;
using Ogre::Quaternion;
using Ogre::Vector3;
using Events = std::vector<std::string>;

const float FRAME = 0.02f;

// The hero's head (turned by the neck, his head bone's parent) with the constraint given, and his eyes.
std::string HeroFocus(const std::string& constraint = "")
{
    return R"(<focusctrl><headbone boneref="head">)" + constraint +
           R"(</headbone><lefteyebone>eye_l</lefteyebone><righteyebone boneref="eye_r"/></focusctrl>)";
}

float Degrees(float radians)
{
    return Ogre::Radian(radians).valueDegrees();
}

class HeroFocusing : public HeroControlTest<cl_FocusTargetControl>
{
protected:
    cl_FocusTargetControl& Add(const std::string& xml)
    {
        m_focus = &HeroControlTest::Add("focus", xml);
        return *m_focus;
    }
    // A point at the height of his head, degrees to his left of straight ahead.
    Vector3 Aside(float degrees) const
    {
        return m_hero->GetWorldPosition("head") +
               Quaternion(Degree(degrees), Vector3::UNIT_Y) * Vector3(0, 0, 300);
    }
    float HeadDegrees() const { return Degrees(m_focus->GetRemainingHeadAngle()); }
    // Frames until the head stops turning (at most three seconds).
    void Settle()
    {
        float last = -1.0f;
        m_rig.Frames(150, FRAME,
                     [this, &last]
                     {
                         const bool still = last == m_focus->GetRemainingHeadAngle();
                         last = m_focus->GetRemainingHeadAngle();
                         return still;
                     });
    }
    Ogre::Bone& Bone(const char* name) const { return *m_hero->GetSkeleton()->getBone(name); }

    cl_FocusTargetControl* m_focus = nullptr;
};

TEST_F(HeroFocusing, AMaxAngleOf30FollowsTo36AtRestTo42TurnedAndGivesUpBeyond52AndAHalf)
{
    const struct
    {
        float target;   // degrees aside
        float fromRest; // where one long step from rest takes the head
        float turned;   // where the head ends
        bool outOfReach;
    } cases[] = {{33.0f, 33.0f, 33.0f, false},
                 {45.0f, 36.0f, 42.0f, false},
                 {-45.0f, 36.0f, 42.0f, false},
                 {60.0f, 0.0f, 0.0f, true}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.target);
        Rebuild();
        Add(HeroFocus(R"(<constraint maxangle="30"/>)")).SetTarget(Aside(c.target));
        m_rig.Frames(1, 1.0f);
        EXPECT_NEAR(HeadDegrees(), c.fromRest, 0.05f);
        Settle();
        EXPECT_NEAR(HeadDegrees(), c.turned, 0.05f);
        EXPECT_EQ(m_focus->IsOutOfReach(), c.outOfReach);
        EXPECT_EQ(m_focus->IsFocused(), !c.outOfReach) << "within 5 degrees";
    }
}

TEST_F(HeroFocusing, TheHeadTurns200DegreesASecondFarFromItsGoalAndSlowsTo45)
{
    Add(HeroFocus()).SetTarget(Aside(90.0f));
    std::vector<float> speeds;
    const int frames = m_rig.Frames(100, FRAME,
                                    [this, &speeds]
                                    {
                                        if (!speeds.empty() && HeadDegrees() >= 90.0f - 1e-3f)
                                            return true;
                                        if (m_focus->IsActive())
                                            speeds.push_back(m_focus->GetHeadSpeed());
                                        return false;
                                    });
    ASSERT_GT(speeds.size(), 2u);
    EXPECT_NEAR(speeds[0], 200.0f, 0.01f);
    EXPECT_TRUE(std::is_sorted(speeds.rbegin(), speeds.rend())) << "slower and slower";
    EXPECT_LT(speeds.back(), 50.0f);
    EXPECT_GE(speeds.back(), 45.0f);
    EXPECT_NEAR(frames * FRAME, 0.87f, 0.05f) << "dθ/dt = 45 + 155 θ / 90 from 90 degrees to 0";
}

TEST_F(HeroFocusing, WithoutTargetTheHeadGoesBackAndTheControlIsDoneOnlyAtRest)
{
    // Notes each report with the head's angle at that moment.
    struct AngleAtReport final : IPuppetControlListener
    {
        void OnControlEvent(cl_PuppetControl*, int code) override
        {
            reports.emplace_back(code, Degrees(focus->GetRemainingHeadAngle()));
        }
        cl_FocusTargetControl* focus = nullptr;
        std::vector<std::pair<int, float>> reports;
    } probe;
    Add(HeroFocus()).SetTarget(Aside(40.0f));
    Settle();
    probe.focus = m_focus;
    m_focus->SetListener(&probe);
    m_focus->SetCallbackPending(true);
    m_focus->ClearTarget();
    const int frames = m_rig.Frames(100, FRAME, [&probe] { return !probe.reports.empty(); });
    EXPECT_GT(frames, 10) << "the head takes its time";
    m_rig.Frames(1, FRAME);
    EXPECT_EQ(probe.reports, (std::vector<std::pair<int, float>>{{1, 0.0f}, {5, 0.0f}}));
    EXPECT_FALSE(m_focus->IsActive());
    EXPECT_FALSE(Bone("eye_l").isManuallyControlled()) << "the eyes go back to the animations";
    EXPECT_TRUE(Bone("neck").isManuallyControlled()) << "the head stays the control's";
}

TEST_F(HeroFocusing, WithoutGlancesTheEyesLookStraightAtTheTarget)
{
    const Vector3 target = Aside(30.0f) + Vector3(0, 40, 0);
    Add(HeroFocus()).SetTarget(target);
    m_focus->SetGlanceAmplitude(0.0f);
    Settle();
    for (const char* eye : {"eye_l", "eye_r"})
    {
        SCOPED_TRACE(eye);
        const Ogre::Bone& bone = Bone(eye);
        const Vector3 looking = bone._getDerivedOrientation() * Vector3::UNIT_X;
        EXPECT_LT(looking.angleBetween(target - bone._getDerivedPosition()).valueDegrees(), 0.5f);
    }
    EXPECT_TRUE(m_focus->IsFocused());
}

TEST_F(HeroFocusing, TheConstraintTakesOneOfTwoFormsOrNone)
{
    const struct
    {
        const char* constraint;
        float turned; // for a target 60 degrees aside
    } cases[] = {
        {R"(<constraint maxangle="30"/>)", 0.0f},
        {R"(<constraint left="30" right="30" up="30" down="30"/>)", 0.0f},
        {R"(<constraint left="30" right="30" up="30"/>)", 60.0f},
        {R"(<constraint maxangle="" left="30" right="30" up="50" down="50"/>)", 60.0f},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.constraint);
        Rebuild();
        Add(HeroFocus(c.constraint)).SetTarget(Aside(60.0f));
        Settle();
        EXPECT_NEAR(HeadDegrees(), c.turned, 0.05f);
    }
}

TEST_F(HeroFocusing, ABoneTheSkeletonLacksGivesNoManualBoneAndALogLine)
{
    const struct
    {
        const char* xml;
        const char* bone;
    } cases[] = {
        {R"(<focusctrl><headbone boneref="hat"/><lefteyebone>eye_l</lefteyebone></focusctrl>)", "hat"},
        {R"(<focusctrl><headbone boneref="pelvis"/></focusctrl>)", "pelvis"},
        {R"(<focusctrl><headbone slave="lantern">head</headbone></focusctrl>)", "head"},
        {R"(<focusctrl><lefteyebone>eye_l</lefteyebone></focusctrl>)", nullptr},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.xml);
        Rebuild();
        Add(c.xml).SetTarget(Aside(20.0f));
        m_rig.Frames(5, FRAME);
        EXPECT_EQ(m_focus->GetHeadBone(), nullptr);
        EXPECT_FALSE(m_focus->IsActive()) << "without a head the control never asks";
        EXPECT_FALSE(Bone("eye_l").isManuallyControlled());
        if (c.bone)
            EXPECT_TRUE(m_log.Contains(std::string("has no bone '") + c.bone + "'", cl_Logger::LEVEL_ERROR));
        else
            EXPECT_TRUE(m_log.Lines().empty());
    }
}

TEST(FocusConstraints, AConstraintCutsTheAngleBackAboutTheSameAxis)
{
    const Vector3 axis = Vector3(1, 2, 0).normalisedCopy();
    const struct
    {
        const char* name;
        Quaternion rotation;
        float factor;
        bool changed;
        float degrees; // afterwards
    } cases[] = {
        {"within", Quaternion(Degree(33), axis), 1.2f, false, 33.0f},
        {"beyond", Quaternion(Degree(45), axis), 1.2f, true, 36.0f},
        {"beyond, written the long way round", -Quaternion(Degree(45), axis), 1.4f, true, 42.0f},
        {"the same rotation as its negative", -Quaternion(Degree(20), axis), 1.0f, false, 20.0f},
    };
    const cl_FocusTargetControl::cl_Constraint constraint(30.0f);
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        Quaternion rotation = c.rotation;
        EXPECT_EQ(constraint.Limit(rotation, c.factor), c.changed);
        Degree angle;
        Vector3 turnedAbout;
        (rotation.w < 0 ? -rotation : rotation).ToAngleAxis(angle, turnedAbout);
        EXPECT_NEAR(angle.valueDegrees(), c.degrees, 1e-3f);
        EXPECT_TRUE(turnedAbout.positionEquals(axis, 1e-4f) || c.degrees == 0.0f);
    }
}

TEST(FocusConstraints, AnExtendedConstraintHoldsPitchWithinRightAndLeftAndYawWithinUpAndDown)
{
    const Quaternion none = Quaternion::IDENTITY;
    const struct
    {
        const char* name;
        Quaternion rotation;
        bool changed;
        Quaternion limited;
    } cases[] = {
        {"within", Quaternion(Degree(15), Vector3::UNIT_X) * Quaternion(Degree(-25), Vector3::UNIT_Y), false,
         none},
        {"too far right", Quaternion(Degree(-30), Vector3::UNIT_X), true,
         Quaternion(Degree(-10), Vector3::UNIT_X)},
        {"too far left", Quaternion(Degree(35), Vector3::UNIT_X), true,
         Quaternion(Degree(20), Vector3::UNIT_X)},
        {"too far up", Quaternion(Degree(-50), Vector3::UNIT_Y), true,
         Quaternion(Degree(-30), Vector3::UNIT_Y)},
        {"too far down", Quaternion(Degree(60), Vector3::UNIT_Y), true,
         Quaternion(Degree(40), Vector3::UNIT_Y)},
    };
    const cl_FocusTargetControl::cl_ConstraintEx constraint(10.0f, 20.0f, 30.0f, 40.0f);
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        Quaternion rotation = c.rotation;
        EXPECT_EQ(constraint.Limit(rotation, 1.0f), c.changed);
        EXPECT_TRUE(rotation.equals(c.changed ? c.limited : c.rotation, Ogre::Degree(0.01f)));
    }
}
} // namespace
