#include "gamecomponents/cl_VideoPlayer.h"

#include "TarqApp.h"
#include "assets/cl_SeqAction.h"
#include "common/cl_Logger.h"
#include "common/cl_ScriptSystem.h"
#include "gamecomponents/cl_GameComponents.h"
#include "graphics/cl_Curtain.h"
#include "graphics/cl_SceneManager.h"
#include "gui/cl_GUISystem.h"
#include "gui/cl_IngameMenu.h"
#include "platform/TheoraClipWriter.h"
#include "sound/cl_PlaybackObject.h"
#include "sound/cl_Sound.h"
#include "sound/cl_SoundMixer.h"
#include "support/ActionProbe.h"
#include "support/DemoWorkingFolder.h"
#include "support/GameComponentsStandIns.h"
#include "support/LoadedLibraries.h"
#include "support/LogCapture.h"
#include "support/Recording.h"
#include "support/ScreenCapture.h"
#include "support/WaitUntil.h"
#include "support/WaveDriver.h"

#include <AL/al.h>
#include <gtest/gtest.h>

#include <OgreCamera.h>
#include <OgreHardwarePixelBuffer.h>
#include <OgreRenderWindow.h>
#include <OgreRoot.h>
#include <OgreTextureManager.h>
#include <OgreViewport.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace
{
using Colour = ScreenCapture::Colour;

const Colour RED{220, 40, 40};
const Colour GREEN{40, 200, 60};
const Colour BLUE{40, 60, 220};
const Colour BLACK{0, 0, 0};
const float FRAME = 0.04f;
const float VIDEO_PITCH = 550.0f;
const float MUSIC_PITCH = 440.0f;   // "artefaktthema", played in the game as a location plays its music
const float MARKER_PITCH = 1320.0f; // "common\menue_klick_ok"

// A clip of width x height with count frames of each colour in turn, 25 a second, and its own tone.
TheoraClipSpec Clip(int width, int height, const std::vector<Colour>& colours, int count = 1)
{
    TheoraClipSpec spec;
    spec.width = width;
    spec.height = height;
    spec.toneFrequency = VIDEO_PITCH;
    spec.channels = 2; // heard as it is, not placed in space
    for (const Colour& colour : colours)
    {
        const TheoraClipColour frame{static_cast<uint8_t>(colour.r), static_cast<uint8_t>(colour.g),
                                     static_cast<uint8_t>(colour.b)};
        spec.frames.insert(spec.frames.end(), static_cast<size_t>(count), frame);
    }
    return spec;
}

testing::AssertionResult Near(const Colour& seen, const Colour& expected)
{
    // The codec keeps a solid colour within a few steps.
    const int tolerance = 10;
    if (std::abs(seen.r - expected.r) <= tolerance && std::abs(seen.g - expected.g) <= tolerance &&
        std::abs(seen.b - expected.b) <= tolerance)
        return testing::AssertionSuccess();
    return testing::AssertionFailure()
           << "seen (" << seen.r << ", " << seen.g << ", " << seen.b << "), expected (" << expected.r << ", "
           << expected.g << ", " << expected.b << ")";
}

// The application with its set-up in reach of the test.
class VideoApp : public TarqApp
{
public:
    using TarqApp::keyPressed;
    using TarqApp::setup;
    using TarqApp::TarqApp;
};

// The demo game as the build lays it out, started in the game mode (where the game's time, and a video's,
// flows) with a recording dialog system; its data/video folder holds the clips each test writes before it
// starts the game. Frames are drawn with the frame time the test gives, so the game time moves on by
// exactly that much.
class VideoOnScreen : public testing::Test
{
protected:
    void TearDown() override
    {
        m_log.reset();
        m_app.reset();
    }

    void AddClip(const std::string& name, const TheoraClipSpec& spec)
    {
        const std::vector<unsigned char> bytes = WriteTheoraClip(spec);
        ASSERT_FALSE(bytes.empty());
        std::ofstream(m_game.PathOf("data/video/" + name), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    void Start()
    {
        // Mesa's llvmpipe draws on worker threads that are still winding down as the process ends; under
        // load the leak checker's walk over them crashes. Drawing on the calling thread leaves none.
        setenv("LP_NUM_THREADS", "0", 0);
        cl_GameComponents::Components components;
        components.dialogSystem = std::make_unique<RecordingDialogSystem>(m_calls);
        m_app = std::make_unique<VideoApp>(std::move(components));
        m_log = std::make_unique<LogCapture>();
        ASSERT_TRUE(m_app->setup());
        KeepLoadedLibraries();
        m_app->SetMode(TarqApp::MODE_INGAME);
        Frame(0.0f); // OGRE learns the screen's size
    }

    void Frame(float dt = FRAME) { m_app->GetRoot()->renderOneFrame(dt); }
    // Draws frames without moving the time on until the screen's centre shows the colour: the worker may
    // still be decoding the frame due.
    testing::AssertionResult Shows(const Colour& colour)
    {
        Colour seen{};
        const bool shown = WaitUntil(
            [&]
            {
                Frame(0.0f);
                seen = Screen().At(Width() / 2, Height() / 2);
                return Near(seen, colour);
            },
            std::chrono::milliseconds(30000));
        if (shown)
            return testing::AssertionSuccess();
        return testing::AssertionFailure() << Near(seen, colour).message();
    }

    // What the player sees now.
    ScreenCapture Screen() const
    {
        void* display = nullptr;
        m_app->GetWindow()->getCustomAttribute("DISPLAY", &display);
        return ScreenCapture(display);
    }
    int Width() const { return static_cast<int>(m_app->GetWindow()->getWidth()); }
    int Height() const { return static_cast<int>(m_app->GetWindow()->getHeight()); }
    // The colour of the texel (x, y) of the texture.
    static Colour TextureAt(const Ogre::TexturePtr& texture, int x, int y)
    {
        std::vector<uint8_t> pixels(static_cast<size_t>(texture->getWidth()) * texture->getHeight() * 3);
        texture->getBuffer()->blitToMemory(
            Ogre::PixelBox(texture->getWidth(), texture->getHeight(), 1, Ogre::PF_BYTE_RGB, pixels.data()));
        const uint8_t* pixel =
            &pixels[(static_cast<size_t>(y) * texture->getWidth() + static_cast<size_t>(x)) * 3];
        return {pixel[0], pixel[1], pixel[2]};
    }
    static Ogre::TexturePtr Texture(const std::string& name)
    {
        return Ogre::TextureManager::getSingleton().getByName(name);
    }

    static cl_VideoPlayer& Video() { return cl_GameComponents::GetInstance()->GetVideoPlayer(); }
    static cl_IngameMenu& Menu() { return cl_GUISystem::GetInstance()->GetIngameMenu(); }
    static cl_Curtain& Curtain() { return *cl_SceneManager::GetInstance()->GetCurtain(); }
    static cl_SoundMixer& Mixer() { return cl_Sound::GetInstance()->GetMixer(); }
    std::string CameraShown() const { return m_app->GetWindow()->getViewport(0)->getCamera()->getName(); }
    std::string CameraRecorded() const
    {
        return m_app->GetPreviousCamera() ? m_app->GetPreviousCamera()->getName() : "none";
    }
    size_t CallsOf(const std::string& call) const
    {
        return static_cast<size_t>(std::count(m_calls.begin(), m_calls.end(), call));
    }

    DemoWorkingFolder m_game{QUILLMERE_BUILT_DEMO_DIR};
    Calls m_calls;
    std::unique_ptr<VideoApp> m_app;
    std::unique_ptr<LogCapture> m_log;
};

TEST_F(VideoOnScreen, TheTextureHoldsTheFrameOfTheVideosTime)
{
    AddClip("colours.ogv", Clip(64, 48, {RED, GREEN, BLUE}, 5));
    Start();
    Video().Play("colours.ogv");
    ASSERT_TRUE(Shows(RED));
    const Ogre::TexturePtr texture = Texture("video_tex_128_64");
    ASSERT_TRUE(texture);
    EXPECT_TRUE(Near(TextureAt(texture, 32, 24), RED));

    // Frames 5 to 9 are green, shown from 0.2 s on.
    for (int frame = 0; frame < 6; ++frame)
        Frame();
    EXPECT_TRUE(Shows(GREEN));
    EXPECT_TRUE(Near(TextureAt(texture, 32, 24), GREEN));
    EXPECT_TRUE(Video().IsPlaying());
    // The library's own lines, as the video player's.
    EXPECT_TRUE(m_log->Contains("OgreVideo ''colours.ogv': 64x48 pixels", cl_Logger::LEVEL_INFO));
    EXPECT_TRUE(m_log->Contains("<ogrevideo_log>", cl_Logger::LEVEL_INFO));
    EXPECT_EQ(m_log->Count(cl_Logger::LEVEL_ERROR), 0u);
}

TEST_F(VideoOnScreen, TexturesArePowersOfTwoNamedByTheirSizeAndKeptForTheNextVideo)
{
    AddClip("vga.ogv", Clip(640, 480, {GREEN}, 2));
    AddClip("vga2.ogv", Clip(640, 480, {BLUE}, 2));
    AddClip("wide512.ogv", Clip(512, 288, {RED}, 2));
    Start();

    Video().Play("vga.ogv");
    const Ogre::TexturePtr vga = Texture("video_tex_1024_512");
    ASSERT_TRUE(vga);
    EXPECT_EQ(vga->getFormat(), Ogre::PF_X8R8G8B8);
    EXPECT_EQ(vga->getUsage(), Ogre::TU_DYNAMIC_WRITE_ONLY);
    EXPECT_EQ(vga->getNumMipmaps(), 0u);
    ASSERT_TRUE(Shows(GREEN));
    Video().Play("vga2.ogv");
    EXPECT_EQ(Texture("video_tex_1024_512"), vga);
    EXPECT_TRUE(Shows(BLUE));

    // A width that is a power of two already still gets the next one up; each row of the picture lands
    // in a row of its own.
    Video().Play("wide512.ogv");
    EXPECT_TRUE(Shows(RED));
    const Ogre::TexturePtr wide = Texture("video_tex_1024_512");
    EXPECT_TRUE(Near(TextureAt(wide, 500, 280), RED)) << "the last rows of the picture";
    EXPECT_TRUE(Near(TextureAt(wide, 600, 100), BLACK)) << "beside the picture";
}

TEST_F(VideoOnScreen, AVideoFillsAsMuchOfTheScreenAsItsShapeAllowsWithBlackBars)
{
    const struct
    {
        const char* name;
        int width, height;
        // Of the screen's height and width, the bars' share on each side (for a 5:4 screen).
        float topBar, sideBar;
        // Unlike the case before, so that no picture is mistaken for the one before.
        Colour colour;
    } cases[] = {
        {"wider, bars above and below", 320, 180, 0.1484f, 0.0f, GREEN},
        {"a little wider, thin bars above and below", 320, 240, 0.03125f, 0.0f, RED},
        {"narrower, bars at the sides", 240, 320, 0.0f, 0.2f, GREEN},
        {"the screen's shape, no bars", 320, 256, 0.0f, 0.0f, BLUE},
    };
    // Two seconds each: a slow frame moves the video's time on by up to a tenth of a second, and the
    // picture must still stand when the screen is read.
    for (const auto& c : cases)
        AddClip(std::string(c.name) + ".ogv", Clip(c.width, c.height, {c.colour}, 50));
    Start();
    ASSERT_EQ(Width() * 4, Height() * 5) << "the test's Xvfb screen is 1280 x 1024";
    // The in-game menu's own bars (for screens narrower than 4:3) stay over a video: widened out of the way.
    Menu().SetPillarbox(0.5f, 2.0f);
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        Video().Play(std::string(c.name) + ".ogv");
        const int top = static_cast<int>(c.topBar * static_cast<float>(Height()));
        const int side = static_cast<int>(c.sideBar * static_cast<float>(Width()));
        // Beyond the half picture pixel where linear filtering blends the picture's edge with black.
        const int inset = 6;
        struct Point
        {
            int x, y;
            Colour colour;
        };
        // Inside the picture near each edge, and inside the bars there are.
        std::vector<Point> points = {{Width() / 2, top + inset, c.colour},
                                     {Width() / 2, Height() - 1 - top - inset, c.colour},
                                     {side + inset, Height() / 2, c.colour},
                                     {Width() - 1 - side - inset, Height() / 2, c.colour}};
        if (top > inset)
            points.insert(points.end(), {{Width() / 2, top - inset, BLACK},
                                         {Width() / 2, Height() - 1 - top + inset, BLACK}});
        if (side > inset)
            points.insert(points.end(), {{side - inset, Height() / 2, BLACK},
                                         {Width() - 1 - side + inset, Height() / 2, BLACK}});
        // Frames are drawn until the first picture shows.
        std::vector<testing::AssertionResult> seen;
        WaitUntil(
            [&]
            {
                Frame(0.0f);
                const ScreenCapture screen = Screen();
                seen.clear();
                for (const Point& point : points)
                    seen.push_back(Near(screen.At(point.x, point.y), point.colour));
                return std::all_of(seen.begin(), seen.end(), [](const auto& each) { return bool(each); });
            },
            std::chrono::milliseconds(10000));
        for (size_t index = 0; index < points.size(); ++index)
            EXPECT_TRUE(seen[index]) << "at " << points[index].x << ", " << points[index].y;
    }
}

TEST_F(VideoOnScreen, AVideoSetsTheGameAsideAndGivesItBackAfterwards)
{
    AddClip("short.ogv", Clip(64, 48, {RED}, 5));
    const struct
    {
        const char* name;
        bool menuShown;
        bool stopped; // else it plays to its end
    } cases[] = {
        {"the menu shown, stopped", true, true},
        {"the menu shown, played to its end", true, false},
        {"the menu hidden, played to its end", false, false},
    };
    Start();
    ASSERT_EQ(CameraShown(), "LocationCam");
    // Music (channel 0), a game sound (channel 2) and a spoken line's channel (1), each holding a source.
    cl_PlaybackObject* music = Mixer().GetMusicPlayback();
    ASSERT_NE(music, nullptr);
    const int click = Mixer().PlaySound("common\\menue_klick_ok", nullptr, 2, 1.0f);
    const int speech = Mixer().PlaySound("common\\menue_klick_fail", nullptr, 1, 1.0f);
    Mixer().GetPlaybackObject(click)->SetLooping(true);
    Mixer().GetPlaybackObject(speech)->SetLooping(true);
    const auto state = [](int id)
    {
        ALint value = 0;
        alGetSourcei(id ? Mixer().GetPlaybackObject(id)->GetSource()
                        : Mixer().GetMusicPlayback()->GetSource(),
                     AL_SOURCE_STATE, &value);
        return value;
    };
    Frame();
    ASSERT_EQ(state(0), AL_PLAYING);
    ASSERT_EQ(state(click), AL_PLAYING);

    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        m_calls.clear();
        if (c.menuShown)
            Menu().Show();
        else
            Menu().Hide();
        Menu().m_pointerFlags.wait = true;
        Video().Play("short.ogv");

        EXPECT_EQ(CameraShown(), "video_cam");
        EXPECT_EQ(CameraRecorded(), "LocationCam");
        EXPECT_FALSE(Curtain().IsShown());
        EXPECT_FALSE(Curtain().IsOverlayVisible());
        EXPECT_EQ(m_calls, Calls{"ExitDialog"});
        EXPECT_FALSE(Menu().IsShown());
        EXPECT_FALSE(Menu().m_pointerFlags.wait);
        EXPECT_EQ(state(0), AL_PAUSED);
        EXPECT_EQ(state(click), AL_PAUSED);
        EXPECT_EQ(state(speech), AL_PLAYING);
        EXPECT_TRUE(Shows(RED));

        if (c.stopped)
            cl_ScriptSystem::GetInstance()->ExecuteString("sendcmd('game', 'StopMovie')");
        for (int frame = 0; frame < 20 && Video().IsPlaying(); ++frame)
            Frame();
        EXPECT_FALSE(Video().IsPlaying());
        Frame();
        EXPECT_EQ(CameraShown(), "LocationCam");
        EXPECT_EQ(CameraRecorded(), "none");
        EXPECT_TRUE(Curtain().IsShown());
        EXPECT_TRUE(Curtain().IsOverlayVisible());
        EXPECT_EQ(Menu().IsShown(), c.menuShown);
        EXPECT_EQ(state(0), AL_PLAYING);
        EXPECT_EQ(state(click), AL_PLAYING);
    }
    EXPECT_EQ(m_log->Count(cl_Logger::LEVEL_ERROR), 0u);
}

TEST_F(VideoOnScreen, AVideoStartedDuringAVideoEndsTheOldOneFirst)
{
    AddClip("red.ogv", Clip(64, 48, {RED}, 25));
    AddClip("green.ogv", Clip(64, 48, {GREEN}, 25));
    Start();
    cl_ScriptSystem::GetInstance()->ExecuteString("sendcmd('game', 'StartMovie')");
    Video().Play("red.ogv");
    ASSERT_TRUE(Shows(RED));
    Video().Play("green.ogv");
    EXPECT_TRUE(Shows(GREEN));
    // Each start ended a dialog; the camera the last one gives back is the game's.
    EXPECT_EQ(CallsOf("ExitDialog"), 3u);
    EXPECT_EQ(CameraRecorded(), "LocationCam");
    Video().Stop();
    EXPECT_EQ(CameraShown(), "LocationCam");
    EXPECT_TRUE(Menu().IsShown());
    EXPECT_EQ(m_log->Count(cl_Logger::LEVEL_ERROR), 0u);
}

TEST_F(VideoOnScreen, AVideoStopsInTheFrameThatFindsItsTimeAtItsDuration)
{
    AddClip("fifth.ogv", Clip(64, 48, {RED}, 5)); // 0.2 s
    Start();
    Video().Play("fifth.ogv");
    for (int frame = 0; frame < 4; ++frame)
        Frame(0.05f);
    EXPECT_TRUE(Video().IsPlaying()) << "its time reached the end in this frame";
    EXPECT_EQ(CameraShown(), "video_cam");
    Frame(0.05f);
    EXPECT_FALSE(Video().IsPlaying());
    EXPECT_EQ(CameraShown(), "LocationCam");
}

TEST_F(VideoOnScreen, AMovieActionLastsUntilItsClipIsGoneWhateverASkipSays)
{
    AddClip("fifth.ogv", Clip(64, 48, {RED}, 5)); // 0.2 s
    Start();
    ActionProbe movie("<action type='PlayMovieAction' movieref='fifth.ogv'/>");
    movie.Start();
    EXPECT_TRUE(Video().IsPlaying());
    movie.Action().Skip();
    for (int frame = 0; frame < 4; ++frame)
    {
        Frame(0.05f);
        movie.Frames(1, 0.05f);
    }
    EXPECT_EQ(movie.trace, "S") << "the clip's last frame is due";
    Frame(0.05f);
    movie.Frames(1, 0.05f);
    EXPECT_EQ(movie.trace, "SD");

    // A clip stopped from outside ends the action too, and one that cannot play ends it at once.
    for (const char* clip : {"fifth.ogv", "missing.ogv"})
    {
        ActionProbe stopped(std::string("<action type='PlayMovieAction' movieref='") + clip + "'/>");
        stopped.Start();
        Video().Stop();
        stopped.Frames(1, 0.05f);
        EXPECT_EQ(stopped.trace, "SD") << clip;
    }
}

TEST_F(VideoOnScreen, AVideoThatCannotBePlayedIsLoggedAndTheGameGoesOn)
{
    std::ofstream(m_game.PathOf("data/video/notes.ogv")) << "no video in here";
    const struct
    {
        const char* file;
        const char* reason;
    } cases[] = {
        {"missing.ogv", "there is no such file"},
        {"notes.ogv", "it holds no Theora video"},
    };
    Start();
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.file);
        m_log->Clear();
        Video().Play(c.file);
        EXPECT_FALSE(Video().IsPlaying());
        EXPECT_TRUE(m_log->Contains(std::string("The video '") + c.file + "' cannot be played: " + c.reason,
                                    cl_Logger::LEVEL_ERROR));
        EXPECT_EQ(CameraShown(), "LocationCam");
        EXPECT_EQ(CameraRecorded(), "none");
        EXPECT_TRUE(Menu().IsShown());
        EXPECT_TRUE(Curtain().IsShown());
        Frame();
    }
}

TEST_F(VideoOnScreen, TheVideosSoundIsHeardAtTheSpeechVolumeWhileTheMusicPauses)
{
    WaveDriver::Recording(); // before any OpenAL call of the process
    const std::string config = m_game.PathOf("config.xml");
    std::string settings = ReadTextFile(config);
    settings.replace(settings.find("<speach>100</speach>"), std::string("<speach>100</speach>").size(),
                     "<speach>40</speach>");
    WriteTextFile(config, settings);
    AddClip("tone.ogv", Clip(64, 48, {BLUE}, 60)); // 2.4 s
    Start();
    // The game's own music, as a location would play it (leaving the menu let the menu's music go).
    Mixer().PlayMusic("artefaktthema", 0.0f, true, false);

    // Frames in real time, as the sound plays.
    auto last = std::chrono::steady_clock::now();
    const auto run = [&](float seconds)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::duration<float>(seconds);
        while (std::chrono::steady_clock::now() < end)
        {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            const auto now = std::chrono::steady_clock::now();
            Frame(std::chrono::duration<float>(now - last).count());
            last = now;
        }
    };
    run(0.5f);
    // The marker lines the recording up with the video's start.
    Mixer().PlaySound("common\\menue_klick_ok", nullptr, 3, 1.0f);
    Video().Play("tone.ogv");
    run(3.4f);
    EXPECT_FALSE(Video().IsPlaying());
    m_log.reset();
    m_app.reset();

    const Recording heard = Recording::FromWave(WaveDriver::Recording());
    const float start = heard.Onset(MARKER_PITCH, 0.05f);
    ASSERT_GE(start, 0.0f) << "no marker";
    EXPECT_GT(heard.ToneLevel(MUSIC_PITCH, start - 0.3f, 0.2f), 0.3f) << "the music before the video";
    // The video's tone (amplitude 0.5) at 40 percent, looked for from 1 s on (on a busy machine the sound
    // starts late, as the decoding does); the music paused.
    EXPECT_NEAR(heard.ToneLevel(VIDEO_PITCH, start + 1.0f, 0.6f), 0.2f, 0.03f);
    EXPECT_LT(heard.ToneLevel(MUSIC_PITCH, start + 0.3f, 1.8f), 0.01f);
    // The music is back after the video's end.
    EXPECT_GT(heard.ToneLevel(MUSIC_PITCH, start + 2.9f, 0.3f), 0.3f);
    EXPECT_LT(heard.ToneLevel(VIDEO_PITCH, start + 2.9f, 0.3f), 0.01f);
}
} // namespace
