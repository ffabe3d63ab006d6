// A frame of 16 of the demo's heroes standing about, looking from side to side and talking, two ways:
//   - controls: each hero a controlled puppet read from the chapter's characters.tdf with his idle, face
//     and focus controls from the same file; the idle control plays his breathing, the face blinks and
//     moves the mouth of a speaking hero, and the focus control turns head and eyes toward a point that
//     jumps from one side to the other every 1.5 s; the puppet's frame runs the controls' passes and its
//     weight tree;
//   - bare OGRE: each hero the same two entities, the breathing's animation state advanced by hand, the
//     blink and mouth pose influences computed and written by hand, the neck and eye bones turned toward
//     the same point by hand at the same speeds.
// Both then compute the skeleton (the animation states applied to the bones, the bone matrices made). The
// ratio of the two, timed interleaved, is printed last.
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_FaceControl.h"
#include "graphics/cl_FocusTargetControl.h"
#include "graphics/cl_IdleAnimationControl.h"
#include "support/BareHero.h"
#include "support/BenchRatio.h"
#include "support/DemoChapter.h"

#include <OgreAnimation.h>
#include <OgreAnimationState.h>
#include <OgreBone.h>
#include <OgreEntity.h>
#include <OgreKeyFrame.h>
#include <OgreMesh.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreSkeletonInstance.h>
#include <benchmark/benchmark.h>
#include <tinyxml.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace
{
using Ogre::Quaternion;
using Ogre::Vector3;

constexpr int HEROES = 16;
constexpr float FRAME = 1.0f / 60.0f;
constexpr float LOOK_PERIOD = 1.5f;

DemoChapter& TheChapter()
{
    static DemoChapter chapter;
    return chapter;
}

// The hero's control element of that kind.
const TiXmlElement* HeroControl(const char* kind)
{
    const TiXmlElement* controls = TheChapter().Character("characters_hero")->FirstChildElement("controls");
    return controls->FirstChildElement(kind);
}

// The point the heroes look at: in front of them, 40 degrees to one side or the other.
Vector3 LookPoint(bool left, const Vector3& head)
{
    return head + Quaternion(Ogre::Degree(left ? 40.0f : -40.0f), Vector3::UNIT_Y) * Vector3(0, 0, 300);
}

// Heroes as controlled puppets with the demo's idle, face and focus controls.
class ControlledHeroes
{
public:
    explicit ControlledHeroes(DemoChapter& chapter)
    {
        for (int hero = 0; hero < HEROES; ++hero)
        {
            auto puppet = std::make_unique<cl_ControlledPuppet>(chapter.SceneManager());
            puppet->FromXml(chapter.Character("characters_hero")->FirstChildElement("puppet"));
            chapter.SceneManager().getRootSceneNode()->addChild(puppet->GetSceneNode());
            Add<cl_IdleAnimationControl>(*puppet, "idle", HeroControl("idlectrl"));
            auto& face = Add<cl_FaceControl>(*puppet, "face", HeroControl("facectrl"));
            face.SetSpeaking(true);
            face.SetSpeechLevel(0.8f);
            m_focus.push_back(&Add<cl_FocusTargetControl>(*puppet, "focus", HeroControl("focusctrl")));
            m_focus.back()->SetGlanceAmplitude(3.0f);
            puppet->SetActive(true);
            m_matrices.emplace_back(puppet->GetSkeleton()->getNumBones());
            m_puppets.push_back(std::move(puppet));
        }
        m_head = m_puppets.front()->GetWorldPosition("head");
    }

    void Frame()
    {
        m_time += FRAME;
        const bool turn = m_time >= LOOK_PERIOD;
        if (turn)
        {
            m_time -= LOOK_PERIOD;
            m_left = !m_left;
        }
        for (size_t hero = 0; hero < m_puppets.size(); ++hero)
        {
            if (turn || !m_focus[hero]->HasTarget())
                m_focus[hero]->SetTarget(LookPoint(m_left, m_head));
            m_puppets[hero]->Update(FRAME);
            BareHero::ComputeSkeleton(*m_puppets[hero]->GetMainEntity(), m_matrices[hero]);
        }
    }

private:
    template <class Control>
    static Control& Add(cl_ControlledPuppet& puppet, const char* name, const TiXmlElement* element)
    {
        auto made = std::make_unique<Control>();
        Control& control = *made;
        puppet.AddControl(name, std::move(made));
        control.FromXml(element);
        return control;
    }

    std::vector<std::unique_ptr<cl_ControlledPuppet>> m_puppets;
    std::vector<cl_FocusTargetControl*> m_focus;
    std::vector<std::vector<Ogre::Affine3>> m_matrices;
    Vector3 m_head;
    float m_time = 0.0f;
    bool m_left = true;
};

// Heroes as bare entities: breathing, blinking, talking and looking done by hand.
class BareHeroes
{
public:
    explicit BareHeroes(DemoChapter& chapter)
    {
        for (int index = 0; index < HEROES; ++index)
        {
            m_figures.push_back(std::make_unique<BareHero>(chapter.SceneManager()));
            Ogre::Entity& body = m_figures.back()->Body();
            Hero hero{&body, body.getAnimationState("idle_breathe"), {}, 0.0f, 0.0f};
            hero.breathe->setLoop(true);
            hero.breathe->setEnabled(true);
            Ogre::SkeletonInstance& skeleton = *body.getSkeleton();
            hero.bones = {skeleton.getBone("neck"), skeleton.getBone("eye_l"), skeleton.getBone("eye_r")};
            for (Ogre::Bone* bone : hero.bones)
                bone->setManuallyControlled(true);
            m_heroes.push_back(hero);
            m_matrices.emplace_back(skeleton.getNumBones());
        }
        // The poses of the head's pose animation, which the controlled heroes' puppets made.
        Ogre::Mesh& mesh = *m_figures.front()->Head().getMesh();
        Ogre::VertexAnimationTrack* track = mesh.getAnimation("puppet_poses")->getVertexTrack(0);
        m_poses = track->getVertexPoseKeyFrame(0);
        m_head = m_heroes.front().body->getParentSceneNode()->getPosition() + Vector3(0, 163, 0);
    }

    void Frame()
    {
        m_time += FRAME;
        if (m_time >= LOOK_PERIOD)
        {
            m_time -= LOOK_PERIOD;
            m_left = !m_left;
        }
        const Vector3 target = LookPoint(m_left, m_head);
        for (size_t index = 0; index < m_heroes.size(); ++index)
        {
            Hero& hero = m_heroes[index];
            hero.breathe->addTime(FRAME);
            // A blink's envelope and the mouth's three shapes, as the face computes them.
            hero.blink = std::fmod(hero.blink + FRAME, 2.0f);
            hero.talk += FRAME;
            const float lid = std::max(0.0f, 1.0f - std::fabs(hero.blink - 0.2f) * 5.0f);
            const float narrow = (std::sin(12.0f * hero.talk) + 1.0f) / 4.0f;
            const float wide = (std::sin(21.0f * hero.talk) + 1.0f) / 4.0f;
            const std::array<float, 5> influences = {lid, lid, 0.8f * narrow, 0.8f * wide,
                                                     0.8f * (1.0f - narrow - wide)};
            for (unsigned short pose = 0; pose < influences.size(); ++pose)
                m_poses->updatePoseReference(pose, influences[pose]);
            // The neck turns toward the point at most 200 degrees a second; the eyes look straight at it.
            const Vector3 direction = (target - m_head).normalisedCopy();
            const Quaternion goal = Vector3::UNIT_Z.getRotationTo(Vector3(direction.x, 0.0f, direction.z));
            Ogre::Bone& neck = *hero.bones[0];
            neck.setOrientation(
                Quaternion::Slerp(std::min(1.0f, 200.0f * FRAME / 40.0f), neck.getOrientation(), goal, true));
            for (size_t eye = 1; eye < hero.bones.size(); ++eye)
            {
                Ogre::Bone& bone = *hero.bones[eye];
                bone.setOrientation(bone.getInitialOrientation() *
                                    (Vector3::UNIT_X.getRotationTo(bone._getDerivedOrientation().Inverse() *
                                                                   (target - bone._getDerivedPosition()))));
            }
            BareHero::ComputeSkeleton(*hero.body, m_matrices[index]);
        }
    }

private:
    struct Hero
    {
        Ogre::Entity* body;
        Ogre::AnimationState* breathe;
        std::array<Ogre::Bone*, 3> bones;
        float blink;
        float talk;
    };

    std::vector<std::unique_ptr<BareHero>> m_figures;
    std::vector<Hero> m_heroes;
    std::vector<std::vector<Ogre::Affine3>> m_matrices;
    Ogre::VertexPoseKeyFrame* m_poses = nullptr;
    Vector3 m_head;
    float m_time = 0.0f;
    bool m_left = true;
};

void BM_ControlledHeroes(benchmark::State& state)
{
    ControlledHeroes heroes(TheChapter());
    for (auto _ : state)
        heroes.Frame();
    state.SetItemsProcessed(state.iterations() * HEROES);
}
BENCHMARK(BM_ControlledHeroes)->Unit(benchmark::kMicrosecond);

void BM_BareOgreHeroes(benchmark::State& state)
{
    // The controlled heroes' puppets make the head's pose animation that the bare heroes write into.
    ControlledHeroes poses(TheChapter());
    BareHeroes heroes(TheChapter());
    for (auto _ : state)
        heroes.Frame();
    state.SetItemsProcessed(state.iterations() * HEROES);
}
BENCHMARK(BM_BareOgreHeroes)->Unit(benchmark::kMicrosecond);

// The controls run four passes a frame for the puppet's arbitration, and the head and eyes are reset and
// looked at anew in each; the hand-made frame does each thing once.
const BenchRatio CONTROLS_RATIO("heroes' frames with idle, face and focus controls / by hand on bare OGRE",
                                "BM_ControlledHeroes", "BM_BareOgreHeroes", BenchRatio::AT_MOST, 4.0);
} // namespace
