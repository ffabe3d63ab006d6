#include "sound/cl_SoundEffect.h"

#include "common/LogCall.h"
#include "common/XmlHelpers.h"
#include "common/XmlNumbers.h"
#include "graphics/cl_Camera.h"
#include "sound/cl_PlaybackObject.h"
#include "sound/cl_Sound.h"
#include "sound/cl_SoundMixer.h"
#include "sound/cl_SoundPool.h"

#include <OgreCamera.h>
#include <OgreMath.h>
#include <OgrePlane.h>
#include <OgreQuaternion.h>
#include <OgreRay.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <tinyxml.h>

#include <algorithm>
#include <climits>
#include <cmath>

namespace
{
// Scene sounds are game sounds.
const int CHANNEL = 2;

cl_SoundMixer* Mixer()
{
    cl_Sound* sound = cl_Sound::GetInstance();
    return sound ? &sound->GetMixer() : nullptr;
}

// An ease in and out over the distance: 1 at min and nearer, 0 beyond max.
float Falloff(float distance, float min, float max)
{
    if (distance <= min)
        return 1.0f;
    if (distance > max)
        return 0.0f;
    const float y = 1.0f - (distance - min) / (max - min);
    return y < 0.5f ? 2.0f * y * y : 1.0f - 2.0f * (1.0f - y) * (1.0f - y);
}
} // namespace

const char* const cl_SoundEffect::TYPE = "sound";

cl_SoundEffect::cl_SoundEffect(const std::string& id) : cl_BaseEffect(TYPE, id) {}

cl_SoundEffect::~cl_SoundEffect()
{
    Unload();
}

void cl_SoundEffect::LoadFromXml(const TiXmlElement& element, Ogre::SceneManager* sceneManager)
{
    m_soundId = TextAttribute(element, "soundid", "");
    if (m_soundId.empty())
        LOG_ERROR("The sound effect '%s' has no soundid: it plays nothing.", GetId().c_str());
    m_volume = NumberAttribute(element, "volume", m_volume);
    m_dampOnSpeech = IsTrueAttribute(element, "damponspeach");
    m_fadeOnSceneLeave = TextAttribute(element, "sceneleavefade", "") != "false";

    if (const TiXmlElement* pause = element.FirstChildElement("break"))
    {
        m_breakMin = std::max(NumberAttribute(*pause, "min", m_breakMin), 0.0f);
        m_breakMax = std::max(NumberAttribute(*pause, "max", m_breakMax), m_breakMin);
    }
    if (const TiXmlElement* repeat = element.FirstChildElement("repeat"))
    {
        m_repeatMin = std::max(IntegerAttribute(*repeat, "min", m_repeatMin), 1);
        m_repeatMax = std::max(IntegerAttribute(*repeat, "max", m_repeatMax), m_repeatMin);
    }
    if (const TiXmlElement* position = element.FirstChildElement("position"))
    {
        m_positionMin = NumberAttribute(*position, "min", m_positionMin);
        m_positionMax = std::max(NumberAttribute(*position, "max", m_positionMax), m_positionMin);
        m_positionNode = position->GetText() ? position->GetText() : "";
    }
    if (const TiXmlElement* fading = element.FirstChildElement("fading"))
    {
        m_fadeOutTime = NumberAttribute(*fading, "out", m_fadeOutTime);
        m_fadeInTime = NumberAttribute(*fading, "in", m_fadeInTime);
    }
    if (const TiXmlElement* randomVolume = element.FirstChildElement("randomvolume"))
    {
        m_randomVolume = true;
        m_randomVolumeMin = NumberAttribute(*randomVolume, "min", m_randomVolumeMin);
        m_randomVolumeMax =
            std::max(NumberAttribute(*randomVolume, "max", m_randomVolumeMax), m_randomVolumeMin);
    }
    if (const TiXmlElement* direction = element.FirstChildElement("randomposition"))
    {
        m_randomDirection = true;
        m_randomDirectionMin = IntegerAttribute(*direction, "min", m_randomDirectionMin);
        m_randomDirectionMax = IntegerAttribute(*direction, "max", m_randomDirectionMax);
        // A range across north: 300 to 60 is -60 to 60. Turns are taken off in one step.
        if (m_randomDirectionMin > m_randomDirectionMax)
        {
            const long long min = m_randomDirectionMin;
            const long long turns = (min - m_randomDirectionMax - 1) / 360 + 1;
            m_randomDirectionMin = static_cast<int>(std::max<long long>(min - turns * 360, INT_MIN));
        }
    }

    m_sceneManager = sceneManager;
    m_timeToNextStart = RandomBreak();
    m_playsLeft = RandomRepeatCount();
}

void cl_SoundEffect::Update(float dt)
{
    if (!IsActive() || m_soundId.empty())
        return;
    if (m_waiting)
    {
        m_timeToNextStart -= dt;
        if (m_timeToNextStart <= 0.0f)
            StartPlaying();
    }
    else if (m_playbackId == -1)
    {
        StartPlaying();
    }
    else
    {
        UpdateFades(dt);
    }
    if (!m_positionNode.empty())
        UpdatePositionFactor();
    if (m_playbackId != -1)
        ApplyVolume();
}

void cl_SoundEffect::UpdateFades(float dt)
{
    if (m_fadingOut)
    {
        m_fadeClock += dt;
        if (m_fadeClock <= m_fadeOutTime)
        {
            m_fadeFactor = 1.0f - m_fadeClock / m_fadeOutTime;
        }
        else
        {
            LOG_INFO("Fading out done");
            m_fadeClock = 0.0f;
            m_fadingOut = false;
            m_fadeFactor = 0.0f;
        }
    }
    else if (m_leaving)
    {
        m_fadeClock += dt;
        m_fadeFactor = Ogre::Math::Clamp(1.0f - m_fadeClock / m_leaveFadeTime, 0.0f, 1.0f);
    }
    else if (m_playsLeft == 1 && m_fadeOutTime > 0.0f && Mixer())
    {
        // The last play of the run fades out over its last seconds.
        if (const cl_PlaybackObject* playback = Mixer()->GetPlaybackObject(m_playbackId))
        {
            const float timeToGo = playback->GetDuration() - playback->GetElapsed();
            if (timeToGo > 0.0f && timeToGo < m_fadeOutTime)
            {
                m_fadingOut = true;
                m_fadeClock = m_fadeOutTime - timeToGo;
                LOG_INFO("Start fading out. TimeToGo: %f", timeToGo);
            }
        }
    }
    if (m_fadingIn)
    {
        m_fadeClock += dt;
        if (m_fadeClock <= m_fadeInTime)
        {
            m_fadeFactor = m_fadeClock / m_fadeInTime;
        }
        else
        {
            LOG_INFO("Fading in done");
            m_fadeClock = 0.0f;
            m_fadingIn = false;
            m_fadeFactor = 1.0f;
        }
    }
}

void cl_SoundEffect::StartPlaying()
{
    LOG_INFO("Start soundeffect playback");
    m_waiting = false;
    if (m_positionNode.empty())
    {
        if (m_randomVolume)
            m_volume = m_randomVolumeMin + (m_randomVolumeMax - m_randomVolumeMin) * Ogre::Math::UnitRandom();
    }
    else
    {
        UpdatePositionFactor();
    }
    Ogre::Vector3 direction = Ogre::Vector3::ZERO;
    if (m_randomDirection)
    {
        // The whole part as a C cast takes it, towards 0 (-59.5 is -59).
        const double span = static_cast<double>(m_randomDirectionMax) - m_randomDirectionMin;
        const double angle = std::trunc(Ogre::Math::UnitRandom() * span + m_randomDirectionMin);
        direction = Ogre::Quaternion(Ogre::Degree(static_cast<float>(angle)), Ogre::Vector3::UNIT_Y) *
                    Ogre::Vector3::UNIT_X;
    }

    // An unknown sound is told once, not at every try, and plays nothing: the effect tries again after a
    // break instead of taking the mixer's 0 for a playback.
    cl_SoundMixer* mixer = Mixer();
    const bool known = mixer && cl_Sound::GetInstance()->GetSoundPool().HasSoundDefinition(m_soundId);
    const int id = known ? mixer->PlaySound(m_soundId, this, CHANNEL, Volume()) : 0;
    if (id == 0)
    {
        if (!m_playFailureLogged)
            LOG_ERROR("The sound effect '%s' cannot play the sound '%s'.", GetId().c_str(),
                      m_soundId.c_str());
        m_playFailureLogged = true;
        m_waiting = true;
        m_timeToNextStart = RandomBreak();
        return;
    }
    m_playbackId = id;
    cl_PlaybackObject* playback = mixer->GetPlaybackObject(id);
    if (m_randomDirection)
        playback->SetPosition(direction.x, direction.y, direction.z);
    // Without a break the file repeats seamlessly.
    if (m_breakMax <= 0.0f)
        playback->SetLooping(true);
    ApplyVolume();
    playback->Update(0.0f);
}

void cl_SoundEffect::PlaybackFinished(int, int stopped)
{
    --m_playsLeft;
    m_playbackId = -1;
    if (m_playsLeft >= 1)
        return;
    BeginRun();
    if (stopped == 0 && m_timeToNextStart <= 0.0f)
        StartPlaying();
}

void cl_SoundEffect::BeginRun()
{
    m_waiting = true;
    m_timeToNextStart = RandomBreak();
    m_playsLeft = RandomRepeatCount();
    // Once the scene is being left the sound stays on its way to silence.
    if (m_leaving)
        return;
    m_fadeFactor = 1.0f;
    if (m_fadeInTime > 0.0f)
    {
        m_fadeFactor = 0.0f;
        m_fadingIn = true;
    }
    m_fadeClock = 0.0f;
}

void cl_SoundEffect::UpdatePositionFactor()
{
    const cl_Camera* cameras = cl_Camera::GetInstance();
    const Ogre::Camera* camera = cameras ? cameras->GetOgreCamera() : nullptr;
    if (!m_sceneManager || !camera)
        return;
    if (!m_sceneManager->hasSceneNode(m_positionNode))
    {
        if (!m_missingNodeLogged)
            LOG_WARNING("The sound effect '%s' finds no scene node '%s': it plays at full volume.",
                        GetId().c_str(), m_positionNode.c_str());
        m_missingNodeLogged = true;
        m_positionFactor = 1.0f;
        return;
    }
    const Ogre::Vector3 position = m_sceneManager->getSceneNode(m_positionNode)->_getDerivedPosition();
    const Ogre::Ray ray = camera->getCameraToViewportRay(0.5f, 0.5f);
    const Ogre::Plane plane(ray.getDirection(), position);
    const std::pair<bool, Ogre::Real> hit = ray.intersects(plane);
    const float distance = hit.first ? position.distance(ray.getPoint(hit.second)) : -1.0f;
    m_positionFactor = Falloff(distance, m_positionMin, m_positionMax);
}

float cl_SoundEffect::Volume() const
{
    return m_volume * m_positionFactor * m_fadeFactor;
}

void cl_SoundEffect::ApplyVolume()
{
    cl_SoundMixer* mixer = Mixer();
    cl_PlaybackObject* playback = mixer ? mixer->GetPlaybackObject(m_playbackId) : nullptr;
    if (!playback)
        return;
    playback->SetVolume(Volume() * (m_dampOnSpeech ? mixer->GetDuckLevel() : 1.0f));
}

void cl_SoundEffect::StopPlayback()
{
    const int id = m_playbackId;
    m_playbackId = -1;
    cl_SoundMixer* mixer = Mixer();
    if (id == -1 || !mixer)
        return;
    // Stopped on purpose: its end must not start the next play.
    mixer->SetCallback(id, nullptr);
    if (cl_PlaybackObject* playback = mixer->GetPlaybackObject(id))
        playback->Stop();
}

void cl_SoundEffect::SetEnabled(bool enabled)
{
    StopPlayback();
    if (enabled)
        BeginRun();
}

void cl_SoundEffect::Unload()
{
    StopPlayback();
    m_sceneManager = nullptr;
}

void cl_SoundEffect::OnSceneLeave(float fadeTime)
{
    if (m_fadeOnSceneLeave)
        StartLeaveFade(fadeTime);
}

void cl_SoundEffect::StartLeaveFade(float time)
{
    if (time > 0.0f)
    {
        m_leaving = true;
        m_fadeClock = 0.0f;
        m_fadingIn = false;
        m_leaveFadeTime = time;
    }
    else
    {
        SetActive(false);
    }
}

int cl_SoundEffect::RandomRepeatCount() const
{
    // RangeRandom(min, max + 1), in double so that no count overflows.
    const double count =
        m_repeatMin + (static_cast<double>(m_repeatMax) + 1.0 - m_repeatMin) * Ogre::Math::UnitRandom();
    return count >= m_repeatMax ? m_repeatMax : static_cast<int>(count);
}

float cl_SoundEffect::RandomBreak() const
{
    return Ogre::Math::RangeRandom(m_breakMin, m_breakMax);
}
