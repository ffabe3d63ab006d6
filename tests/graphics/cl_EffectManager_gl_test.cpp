#include "graphics/cl_EffectManager.h"

#include "common/FileHelpers.h"
#include "common/cl_Command.h"
#include "graphics/cl_CharacterManager.h"
#include "graphics/cl_EntityEmitterFactory.h"
#include "graphics/cl_SceneLoader.h"
#include "platform/particles/ParticleSystemManager.h"
#include "support/SceneWindow.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace
{
using Colour = SceneWindow::Colour;

const int WIDTH = 400;
const int HEIGHT = 300;

// The demo's locations with their effects (the demo's particle templates read), seen in their shot
// "default": at height 0, backdrop point (x, y) shows at pixel (x / 2, y / 2).
class DemoEffects : public testing::Test
{
protected:
    DemoEffects()
    {
        std::string templates;
        ReadFileText(QUILLMERE_BUILT_DEMO_DIR "data/common/effects.psys", templates);
        m_particles->addEmitterFactory(std::make_unique<cl_EntityEmitterFactory>());
        m_particles->parseScript(templates, "effects.psys");
        m_characters.Init(&m_window.SceneManager());
    }
    ~DemoEffects() override
    {
        // The scene's effects go before the particle library.
        if (m_window.scenes.GetLoadedScene())
            m_window.loader.UnloadScene(m_window.Scene(), false);
    }
    void Show(const std::string& scene)
    {
        ASSERT_TRUE(m_window.Load(scene, cl_SceneLoader::QUALITY_HIGH));
        m_window.camera.ActivateShot("default");
        Render();
    }
    void Render()
    {
        // The render textures and the fire need a frame or two.
        m_window.Render();
        m_window.Render();
    }
    void Switch(const std::string& effect, bool on) { m_effects.FindEffect(effect)->SetActive(on); }
    // How many pixels of the rectangle (inclusive) pass the test.
    int Count(int left, int top, int right, int bottom, const std::function<bool(const Colour&)>& test) const
    {
        int count = 0;
        for (int y = top; y <= bottom; ++y)
            for (int x = left; x <= right; ++x)
                count += test(m_window.At(x, y));
        return count;
    }
    int Brightness(int left, int top, int right, int bottom) const
    {
        int sum = 0;
        for (int y = top; y <= bottom; ++y)
            for (int x = left; x <= right; ++x)
            {
                const Colour colour = m_window.At(x, y);
                sum += colour.r + colour.g + colour.b;
            }
        return sum / ((right - left + 1) * (bottom - top + 1));
    }
    int ErrorsAndWarnings() const
    {
        return static_cast<int>(m_window.log.Count(cl_Logger::LEVEL_ERROR) +
                                m_window.log.Count(cl_Logger::LEVEL_WARNING));
    }

    SceneWindow m_window{WIDTH, HEIGHT};
    std::unique_ptr<particles::ParticleSystemManager> m_particles =
        std::make_unique<particles::ParticleSystemManager>();
    cl_EffectManager m_effects{m_window.script};
    cl_CharacterManager m_characters{m_window.script};
};

bool IsTeal(const Colour& colour)
{
    return colour.g > colour.r + 40 && colour.b > colour.r + 30 && colour.g < 190;
}

bool IsBlue(const Colour& colour)
{
    return colour.b > 230 && colour.r < 25 && colour.g < 25;
}

TEST_F(DemoEffects, TheHallsPolishedFloorMirrorsTheDoorsTealBeforeItUntilItIsSwitchedOff)
{
    Show("scenes_tower");
    // Just below the door's strip, which ends at pixel row 128: the polished floor over the doorway.
    const auto mirror = [this] { return Count(170, 129, 230, 134, IsTeal); };
    EXPECT_GT(mirror(), 60);
    Switch("hall_floor_mirror", false);
    Render();
    EXPECT_EQ(mirror(), 0);
    EXPECT_EQ(ErrorsAndWarnings(), 0);
}

TEST_F(DemoEffects, TheWindowsLightBrightensTheHallWhileItShines)
{
    Show("scenes_tower");
    // On its way from the window (backdrop 540..659, 100..219) to the door.
    const int lit = Brightness(240, 78, 280, 98);
    Switch("hall_window_light", false);
    Render();
    EXPECT_GT(lit, Brightness(240, 78, 280, 98) + 60);
}

TEST_F(DemoEffects, ToggleNavMeshDrawsTheFloorInBlueLinesAndTakesThemAwayAgain)
{
    Show("scenes_tower");
    const auto lines = [this] { return Count(0, 0, WIDTH - 1, HEIGHT - 1, IsBlue); };
    const auto toggle = [this]
    {
        cl_Command cmd("ToggleNavMesh");
        m_window.script.SendCmd("charactermanager", cmd);
        Render();
    };
    ASSERT_EQ(lines(), 0);
    toggle();
    EXPECT_GT(lines(), 100);
    EXPECT_GT(Count(0, HEIGHT / 2, WIDTH - 1, HEIGHT - 1, IsBlue), lines() / 2) << "mostly on the floor";
    toggle();
    EXPECT_EQ(lines(), 0);
    EXPECT_EQ(ErrorsAndWarnings(), 0);
}

TEST_F(DemoEffects, TheYardsPondShowsTheLawnBeneathItTintedAndRippled)
{
    Show("scenes_yard");
    // The pond: backdrop 153..350, 379..498.
    std::vector<Colour> water;
    for (int y = 195; y <= 245; y += 5)
        for (int x = 80; x <= 170; x += 5)
            water.push_back(m_window.At(x, y));
    Switch("yard_pond", false);
    Render();
    size_t changed = 0;
    size_t i = 0;
    for (int y = 195; y <= 245; y += 5)
        for (int x = 80; x <= 170; x += 5)
        {
            const Colour lawn = m_window.At(x, y);
            changed += std::abs(lawn.r - water[i].r) + std::abs(lawn.g - water[i].g) +
                           std::abs(lawn.b - water[i].b) >
                       30;
            ++i;
        }
    EXPECT_GT(changed, water.size() * 3 / 4);
    EXPECT_EQ(ErrorsAndWarnings(), 0);
}
} // namespace
