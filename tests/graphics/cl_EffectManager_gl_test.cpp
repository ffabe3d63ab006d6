#include "graphics/cl_EffectManager.h"

#include "common/FileHelpers.h"
#include "common/cl_Command.h"
#include "graphics/cl_CharacterManager.h"
#include "graphics/cl_EntityEmitterFactory.h"
#include "graphics/cl_ParticleEffect.h"
#include "graphics/cl_SceneLoader.h"
#include "platform/particles/ParticleSystem.h"
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

TEST_F(DemoEffects, TheTorchBurnsAboveItsPictureInChangingWarmColoursUntilItIsPutOut)
{
    Show("scenes_tower");
    // Above the torch's picture (backdrop 260..291, 180..211), where the flame rises.
    const auto flame = [this]
    {
        return Count(126, 45, 156, 89,
                     [](const Colour& colour) { return colour.r > 200 && colour.r > colour.b + 60; });
    };
    EXPECT_EQ(flame(), 0) << "not before the effects' first fifth of a second";
    auto& fire = static_cast<cl_ParticleEffect&>(*m_effects.FindEffect("hall_torch_fire"));
    const auto burn = [&fire](float seconds)
    {
        for (float burnt = 0.0f; burnt < seconds; burnt += 1.0f / 30.0f)
            fire.GetParticleSystem()->_update(1.0f / 30.0f);
    };
    m_window.gameTime.Update(0.25f);
    burn(1.0f);
    Render();
    EXPECT_GT(flame(), 150);
    std::vector<Colour> first;
    for (int y = 45; y <= 89; ++y)
        for (int x = 126; x <= 156; ++x)
            first.push_back(m_window.At(x, y));
    burn(0.2f);
    Render();
    size_t flickered = 0;
    for (int y = 45, i = 0; y <= 89; ++y)
        for (int x = 126; x <= 156; ++x, ++i)
            flickered += !SceneWindow::Matches(m_window.At(x, y), first[static_cast<size_t>(i)]);
    EXPECT_GT(flickered, 20u);

    Switch("hall_torch_fire", false);
    burn(1.0f);
    Render();
    EXPECT_EQ(flame(), 0);
    EXPECT_EQ(ErrorsAndWarnings(), 0);
}

TEST_F(DemoEffects, AScriptGreysTheHallAndGivesItsColoursBack)
{
    Show("scenes_tower");
    // The window (backdrop 540..659, 100..219), the torch and the floor.
    const int points[][2] = {{310, 60}, {135, 98}, {150, 250}};
    std::vector<Colour> coloured;
    for (const auto& point : points)
        coloured.push_back(m_window.At(point[0], point[1]));
    EXPECT_GT(coloured[0].b, coloured[0].r + 100) << "off at load";
    ASSERT_TRUE(
        m_window.script.ExecuteString("sendcmd('effectmanager', 'SetActive', 'hall_greyscale', true)"));
    Render();
    for (const auto& point : points)
    {
        const Colour grey = m_window.At(point[0], point[1]);
        EXPECT_NEAR(grey.r, grey.g, 3) << point[0] << ", " << point[1];
        EXPECT_NEAR(grey.g, grey.b, 3) << point[0] << ", " << point[1];
    }
    ASSERT_TRUE(
        m_window.script.ExecuteString("sendcmd('effectmanager', 'SetActive', 'hall_greyscale', false)"));
    Render();
    for (size_t i = 0; i < coloured.size(); ++i)
        EXPECT_TRUE(SceneWindow::Near(m_window.At(points[i][0], points[i][1]), coloured[i]));
    EXPECT_EQ(ErrorsAndWarnings(), 0);
}
} // namespace
