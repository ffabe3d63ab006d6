#pragma once

#include "common/IGameTimeListener.h"
#include "common/cl_GameTimeRegistration.h"

#include <OgrePrerequisites.h>
#include <OgreSharedPtr.h>

#include <memory>
#include <string>

class SoundPlaybackInterfaceFactory;
class TheoraVideoClip;
class TheoraVideoManager;

// Plays one Theora video (".ogv") full-screen: the video library decodes it, each frame is copied into a
// texture shown by a screen-filling quad in a scene of its own ("video_"), with black bars where the
// video's shape differs from the screen's, and its sound plays on the speech channel. While it plays, the
// game's camera, the in-game menu and the curtain are set aside, a dialog is ended and the game sounds
// and the music are paused. A video plays exactly while the player holds a clip. The game-components hub
// owns the player.
class cl_VideoPlayer : public IGameTimeListener
{
public:
    // Registers with the game time (when there is one) in the group "default" with priority 999, after
    // every other listener, so a video advances only while the game's time flows. OGRE is not touched
    // until the first video.
    cl_VideoPlayer();
    // A playing clip is destroyed without giving back what Begin set aside (the game is ending). The video
    // scene and texture stay with OGRE, which takes them down with everything else.
    virtual ~cl_VideoPlayer();
    cl_VideoPlayer(const cl_VideoPlayer&) = delete;
    cl_VideoPlayer& operator=(const cl_VideoPlayer&) = delete;

    // The end of the clip (its time position has reached its duration) stops it; otherwise the clip's
    // time moves on by dt and the frame now due is copied into the texture.
    void Update(float dt) override;

    // Stops a playing video, sets the game aside (Begin) and plays the file, found through OGRE's
    // resources, from its start; the picture is black until the first frame arrives. A file that is
    // missing or holds no video is logged with its name and the game comes back at once (End).
    virtual void Play(const std::string& fileName);
    // Destroys the clip and gives back what Begin set aside. Nothing happens when no video plays.
    virtual void Stop();
    virtual bool IsPlaying() const { return m_clip != nullptr; }

protected:
    // Builds the video scene on first use, shows it through its camera (the application records the
    // camera it replaces), hides the curtain and the in-game menu (remembering whether it was shown), ends
    // a dialog, drops the wait pointer and pauses the game sounds (channel 2) and the music (channel 0).
    virtual void Begin();
    // Undoes Begin: resumes the channels, shows the curtain, shows the in-game menu when it was shown, and
    // gives back the camera the application recorded (with no record the camera stays).
    virtual void End();

private:
    void CreateScene();
    // The texture for a clip of that size (made once per size), bound to "video_material" with the
    // clip's part of it scaled to the quad.
    void PrepareTexture(int clipWidth, int clipHeight);
    // Rebuilds the quad to fill as much of the screen as the clip's shape allows.
    void FitQuad(int clipWidth, int clipHeight);
    void ClearTexture();
    void CopyFrameToTexture();

    std::unique_ptr<SoundPlaybackInterfaceFactory> m_soundFactory;
    std::unique_ptr<TheoraVideoManager> m_videoManager;
    TheoraVideoClip* m_clip = nullptr; // owned by the video manager
    Ogre::TexturePtr m_texture;
    Ogre::SceneManager* m_sceneManager = nullptr;
    Ogre::Camera* m_camera = nullptr;
    Ogre::ManualObject* m_quad = nullptr;
    bool m_menuWasShown = false;
    cl_GameTimeRegistration m_frames;
};
