// A frame of 16 of the demo's heroes, each computing his skeleton, two ways on the same clips:
//   - puppets: each hero a puppet read from the chapter's characters.tdf; its weight tree blends the walk
//     cycles (a gait blend of straight and left in step), the run, two idles in the normalization group,
//     and a quarter of the heroes fade between walking and standing every 1.5 s; root motion moves them;
//   - bare OGRE: each hero the same two entities, their animation states of the same clips enabled,
//     weighted, faded and advanced by hand.
// Both then compute the skeleton (the animation states applied to the bones, the bone matrices made). The
// ratio of the two, their repetitions interleaved in one run, is printed last.
#include "graphics/cl_Puppet.h"
#include "graphics/cl_PuppetAnimWeight.h"
#include "support/BareHero.h"
#include "support/BenchRatio.h"
#include "support/DemoChapter.h"

#include <OgreAnimationState.h>
#include <OgreEntity.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreSkeletonInstance.h>
#include <benchmark/benchmark.h>
#include <tinyxml.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <vector>

namespace
{
constexpr int HEROES = 16;
constexpr float FRAME = 1.0f / 60.0f;
constexpr float FADE_PERIOD = 1.5f;

// What a hero does: walk (straight and left blended), run, stand (two idles), or fade between walking
// and standing.
enum Kind
{
    WALK,
    RUN,
    STAND,
    FADE,
};

Kind KindOf(int hero)
{
    return static_cast<Kind>(hero % 4);
}

DemoChapter& TheChapter()
{
    static DemoChapter chapter;
    return chapter;
}

// Heroes as puppets.
class PuppetHeroes
{
public:
    explicit PuppetHeroes(DemoChapter& chapter)
    {
        for (int hero = 0; hero < HEROES; ++hero)
        {
            auto puppet = std::make_unique<cl_Puppet>(chapter.SceneManager());
            puppet->FromXml(chapter.Character("characters_hero")->FirstChildElement("puppet"));
            chapter.SceneManager().getRootSceneNode()->addChild(puppet->GetSceneNode());
            const Kind kind = KindOf(hero);
            Set(*puppet, "skeletal/idle", kind == STAND ? 1.0f : 0.0f);
            Set(*puppet, "skeletal/idle/look", 1.0f);
            Set(*puppet, "skeletal/walk", kind == STAND ? 0.0f : 1.0f);
            Set(*puppet, "skeletal/walk/loop", kind == RUN ? 0.0f : 1.0f);
            Set(*puppet, "skeletal/walk/loop/straight_fast", 0.7f);
            Set(*puppet, "skeletal/walk/loop/left", 0.3f);
            Set(*puppet, "skeletal/walk/run", kind == RUN ? 1.0f : 0.0f);
            m_matrices.emplace_back(puppet->GetSkeleton()->getNumBones());
            m_puppets.push_back(std::move(puppet));
        }
    }

    void Frame()
    {
        m_time += FRAME;
        const bool turn = m_time >= FADE_PERIOD;
        if (turn)
        {
            m_time -= FADE_PERIOD;
            m_walking = !m_walking;
        }
        for (size_t hero = 0; hero < m_puppets.size(); ++hero)
        {
            cl_Puppet& puppet = *m_puppets[hero];
            if (turn && KindOf(static_cast<int>(hero)) == FADE)
            {
                puppet.ResolveAnimPath("skeletal/walk")->SetTarget(m_walking ? 1.0f : 0.0f, -1.0f);
                puppet.ResolveAnimPath("skeletal/idle")->SetTarget(m_walking ? 0.0f : 1.0f, -1.0f);
            }
            puppet.Update(FRAME);
            BareHero::ComputeSkeleton(*puppet.GetMainEntity(), m_matrices[hero]);
        }
    }

private:
    static void Set(cl_Puppet& puppet, const char* path, float weight)
    {
        puppet.ResolveAnimPath(path)->SetTarget(weight, 0.0f);
    }

    std::vector<std::unique_ptr<cl_Puppet>> m_puppets;
    std::vector<std::vector<Ogre::Affine3>> m_matrices;
    float m_time = 0.0f;
    bool m_walking = true;
};

// Heroes as bare entities whose animation states are set by hand.
class BareHeroes
{
public:
    explicit BareHeroes(DemoChapter& chapter)
    {
        for (int index = 0; index < HEROES; ++index)
        {
            m_figures.push_back(std::make_unique<BareHero>(chapter.SceneManager()));
            Ogre::Entity& body = m_figures.back()->Body();
            Hero made{&body, {}, 0.0f};
            for (size_t clip = 0; clip < CLIPS.size(); ++clip)
            {
                made.states[clip] = body.getAnimationState(CLIPS[clip]);
                made.states[clip]->setLoop(true);
            }
            made.walk = KindOf(index) == STAND ? 0.0f : 1.0f;
            m_heroes.push_back(made);
            m_matrices.emplace_back(body.getSkeleton()->getNumBones());
        }
    }

    void Frame()
    {
        m_time += FRAME;
        if (m_time >= FADE_PERIOD)
        {
            m_time -= FADE_PERIOD;
            m_walking = !m_walking;
        }
        for (size_t index = 0; index < m_heroes.size(); ++index)
        {
            Hero& hero = m_heroes[index];
            const Kind kind = KindOf(static_cast<int>(index));
            if (kind == FADE)
            {
                // Toward walking over 0.3 s, toward standing over 0.5 s, about as the tree's fade times do.
                const float step = m_walking ? FRAME / 0.3f : -FRAME / 0.5f;
                hero.walk = std::min(1.0f, std::max(0.0f, hero.walk + step));
            }
            const float stand = 1.0f - hero.walk;
            const float moving = kind == RUN ? 0.0f : hero.walk;
            // The weights of straight, left, run, breathe and look, then shared out as one group does.
            const std::array<float, 5> weights = {0.7f * moving, 0.3f * moving,
                                                  kind == RUN ? hero.walk : 0.0f, stand, stand};
            float sum = 0.0f;
            for (const float weight : weights)
                sum += weight;
            for (size_t clip = 0; clip < CLIPS.size(); ++clip)
            {
                Ogre::AnimationState& state = *hero.states[clip];
                const bool playing = weights[clip] > 0.0f;
                state.setEnabled(playing);
                if (!playing)
                    continue;
                state.setWeight(weights[clip] / sum);
                state.addTime(FRAME);
            }
            BareHero::ComputeSkeleton(*hero.body, m_matrices[index]);
        }
    }

private:
    static constexpr std::array<const char*, 5> CLIPS = {"walk_straight", "walk_left", "run", "idle_breathe",
                                                         "idle_look"};
    struct Hero
    {
        Ogre::Entity* body;
        std::array<Ogre::AnimationState*, CLIPS.size()> states;
        float walk;
    };

    std::vector<std::unique_ptr<BareHero>> m_figures;
    std::vector<Hero> m_heroes;
    std::vector<std::vector<Ogre::Affine3>> m_matrices;
    float m_time = 0.0f;
    bool m_walking = true;
};

void BM_PuppetHeroes(benchmark::State& state)
{
    PuppetHeroes heroes(TheChapter());
    for (auto _ : state)
        heroes.Frame();
    state.SetItemsProcessed(state.iterations() * HEROES);
}
BENCHMARK(BM_PuppetHeroes)->Unit(benchmark::kMicrosecond);

void BM_BareOgreHeroes(benchmark::State& state)
{
    BareHeroes heroes(TheChapter());
    for (auto _ : state)
        heroes.Frame();
    state.SetItemsProcessed(state.iterations() * HEROES);
}
BENCHMARK(BM_BareOgreHeroes)->Unit(benchmark::kMicrosecond);

const BenchRatio PUPPET_RATIO("puppets / bare OGRE animation states, 16 heroes a frame", "BM_PuppetHeroes",
                              "BM_BareOgreHeroes", BenchRatio::AT_MOST, 1.2);
} // namespace
