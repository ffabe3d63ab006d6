#include "sound/cl_Sound.h"

#include "common/CommandArguments.h"
#include "common/LogCall.h"
#include "common/StringHelpers.h"
#include "common/cl_Command.h"
#include "common/cl_Config.h"
#include "common/cl_GameTime.h"
#include "common/cl_GameTimeRegistration.h"
#include "sound/cl_SoundChannel.h"
#include "sound/cl_SoundLoader.h"
#include "sound/cl_SoundMixer.h"
#include "sound/cl_SoundPool.h"

#include <AL/al.h>
#include <AL/alut.h>
#include <OgreLogManager.h>
#include <OgreStringConverter.h>

#include <cstdlib>
#include <cstring>

namespace
{
const char* const RECEIVER = "sound";
const char* const VOLUME_KEYS[] = {"music", "sound", "speach"};
const int EFFECTS_CHANNEL = 2;

void LogToOgre(const std::string& text)
{
    if (Ogre::LogManager* manager = Ogre::LogManager::getSingletonPtr())
        manager->logMessage(text);
}

std::string Setting(const std::string& key)
{
    const cl_Config* config = cl_Config::GetInstance();
    return config ? config->GetValue(key) : std::string();
}

// PlaySound by the count of its arguments: with 1 or 2, at a volume (1.0 unless given); with 4 or more,
// from a world position at volume 1.0; with 3, nothing. The playback id is the result (0: nothing plays).
void PlaySound(cl_Sound& sound, const CommandArguments& args, cl_Command& cmd)
{
    cl_SoundMixer& mixer = sound.GetMixer();
    int id = 0;
    if (args.Count() <= 2)
        id = mixer.PlaySound(args.String(0), nullptr, EFFECTS_CHANNEL, args.Has(1) ? args.Float(1) : 1.0f);
    else if (args.Count() >= 4)
        id = mixer.PlaySoundAt(args.String(0), nullptr, args.Float(1), args.Float(2), args.Float(3), 1.0f);
    else
    {
        LOG_WARNING("sound PlaySound takes an id and a volume, or an id and a position, not 3 arguments; "
                    "nothing plays.");
        return;
    }
    cmd.m_results.GetArg(-1)->SetInt(id);
}

void PlayMusic(cl_Sound& sound, const CommandArguments& args, cl_Command&)
{
    sound.GetMixer().PlayMusic(args.String(0), args.Float(1), args.Bool(2), args.Bool(3));
}

struct CommandRow
{
    const char* name;
    const char* arguments;
    void (*run)(cl_Sound& sound, const CommandArguments& args, cl_Command& cmd);
};

// The receiver "sound".
const CommandRow COMMANDS[] = {
    {"PlaySound", "string id, [number volume or x], [number y], [number z]", PlaySound},
    {"PlayMusic", "string name, number fade-out seconds, bool duck under speech, bool fade in and repeat",
     PlayMusic},
};
} // namespace

cl_Sound::cl_Sound(cl_CommandDistributor& distributor)
    : m_loader(std::make_unique<cl_SoundLoader>()), m_mixer(std::make_unique<cl_SoundMixer>(*this)),
      m_pool(std::make_unique<cl_SoundPool>(*m_loader)), m_receiver(distributor, RECEIVER, this)
{
    for (int index = 0; index < CHANNEL_COUNT; ++index)
        m_channels.push_back(std::make_unique<cl_SoundChannel>(0));
}

cl_Sound::~cl_Sound()
{
    Shutdown();
}

void cl_Sound::Init()
{
    if (m_initialised)
        return;
    m_initialised = true;
    InitAl();
    const int max = MaxSources(Setting("maxsoundchannels"));
    CheckForError();
    const int count = m_context ? ProbeSources(max) : 0;
    CheckForError();
    LogToOgre(Format("AL Source test successfully found %i possible sources", count));
    if (m_context)
    {
        m_channels.clear();
        for (int size : ChannelSizes(count))
            m_channels.push_back(std::make_unique<cl_SoundChannel>(size));
    }
    CheckForError();

    m_gameTime = cl_GameTime::GetInstance();
    if (m_gameTime)
    {
        m_frames = std::make_unique<cl_GameTimeRegistration>(m_gameTime, this, "sound", 0);
        m_gameTime->GetTimeGroup("sound").maxCap = 0.1f;
        m_gameTime->AddZeroTimeListener(this);
    }
    m_config = cl_Config::GetInstance();
    for (const char* key : VOLUME_KEYS)
    {
        if (m_config)
            m_config->AddListener(key, this);
    }
    for (const char* key : VOLUME_KEYS)
        ApplyVolume(key, static_cast<float>(std::atoi(Setting(key).c_str())) / 100.0f);
}

void cl_Sound::InitAl()
{
    const std::string wanted = Setting("sounddevice");
    std::vector<std::string> usable;
    const ALCchar* names = alcGetString(nullptr, ALC_DEVICE_SPECIFIER);
    for (const ALCchar* name = names; name && *name; name += std::strlen(name) + 1)
    {
        ALCdevice* device = alcOpenDevice(name);
        if (!device)
            continue;
        ALCcontext* context = alcCreateContext(device, nullptr);
        CheckForError("Unable to create context");
        alcMakeContextCurrent(context);
        CheckForError("Unable to make context current");
        usable.push_back(alcGetString(device, ALC_DEVICE_SPECIFIER));
        alcMakeContextCurrent(nullptr);
        CheckForError("Unable to clear current context");
        alcDestroyContext(context);
        CheckForError("Unable to destroy context");
        alcCloseDevice(device);
    }
    bool matched = false;
    for (const std::string& name : usable)
    {
        LogToOgre("Possible sounddevice found: " + name);
        matched = matched || name == wanted;
    }
    if (matched)
        m_device = alcOpenDevice(wanted.c_str());
    if (!m_device)
        m_device = alcOpenDevice(nullptr);
    if (m_device)
    {
        LogToOgre(std::string("Choosen Sounddevice is: ") + alcGetString(m_device, ALC_DEVICE_SPECIFIER));
        m_context = alcCreateContext(m_device, nullptr);
        alcMakeContextCurrent(m_context);
    }
    else
    {
        LOG_ERROR("Couldn't initialize OpenAL Device.");
    }
    CheckForError();
    if (m_context)
    {
        const ALfloat orientation[] = {1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f};
        alListener3f(AL_POSITION, 0.0f, 0.0f, 0.0f);
        alListener3f(AL_VELOCITY, 0.0f, 0.0f, 0.0f);
        alListenerfv(AL_ORIENTATION, orientation);
        alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
    }
    alutInitWithoutContext(nullptr, nullptr);
    CheckForError();
}

int cl_Sound::ProbeSources(int max)
{
    std::vector<ALuint> sources;
    alGetError();
    for (int index = 0; index < max; ++index)
    {
        ALuint source = 0;
        alGenSources(1, &source);
        if (alGetError() != AL_NO_ERROR)
            break;
        sources.push_back(source);
    }
    if (!sources.empty())
        alDeleteSources(static_cast<ALsizei>(sources.size()), sources.data());
    return static_cast<int>(sources.size());
}

void cl_Sound::Shutdown()
{
    if (m_frames)
    {
        m_frames.reset();
        if (m_gameTime == cl_GameTime::GetInstance())
            m_gameTime->RemoveZeroTimeListener(this);
    }
    if (m_config && m_config == cl_Config::GetInstance())
    {
        for (const char* key : VOLUME_KEYS)
            m_config->RemoveListener(key, this);
    }
    m_mixer.reset();
    m_pool.reset();
    m_loader.reset();
    if (m_device)
    {
        alcMakeContextCurrent(nullptr);
        alcDestroyContext(m_context);
        alcCloseDevice(m_device);
    }
    // So that a later sound system of the same process can start ALUT again.
    if (m_initialised)
        alutExit();
    m_channels.clear();
}

void cl_Sound::Update(float dt)
{
    for (const auto& channel : m_channels)
        channel->Update(dt);
    m_mixer->UpdateMusicFades(dt);
}

bool cl_Sound::ExecuteCmd(cl_Command& cmd)
{
    const CommandArguments args(cmd, RECEIVER);
    if (const CommandRow* row = args.Find(COMMANDS, true))
        row->run(*this, args, cmd);
    return cmd.m_name == "PlaySound";
}

void cl_Sound::OnPreferenceChanged(const std::string& key, const std::string& value, bool)
{
    const float volume = static_cast<float>(std::atoi(value.c_str())) / 100.0f;
    // A text that is no number silences nothing.
    if (volume == 0.0f && value != "0")
        return;
    ApplyVolume(key, volume);
}

void cl_Sound::ApplyVolume(const std::string& key, float volume)
{
    if (key == "music")
    {
        m_mixer->SetMusicVolume(volume);
    }
    else if (key == "sound")
    {
        GetChannel(2).SetVolume(volume);
        GetChannel(3).SetVolume(volume);
    }
    else if (key == "speach")
    {
        GetChannel(1).SetVolume(volume);
        m_mixer->SetSpeechMuted(volume == 0.0f);
    }
}

cl_SoundChannel& cl_Sound::GetChannel(int index)
{
    if (index < 0 || index >= CHANNEL_COUNT)
    {
        LOG_ERROR("There is no sound channel %i", index);
        index = 0;
    }
    return *m_channels[static_cast<size_t>(index)];
}

bool cl_Sound::CheckForError(const std::string& prefix)
{
    const std::string text = prefix.empty() ? "OpenAL error was raised: " : prefix;
    // Without a current context OpenAL reports an error for the question itself.
    if (alcGetCurrentContext())
    {
        const ALenum error = alGetError();
        if (error != AL_NO_ERROR)
        {
            LOG_ERROR("%s%s", text.c_str(), AlErrorName(error));
            return true;
        }
    }
    const ALenum alutError = alutGetError();
    if (alutError == ALUT_ERROR_NO_ERROR)
        return false;
    const struct
    {
        ALenum code;
        const char* name;
    } ALUT_NAMES[] = {
        {ALUT_ERROR_OUT_OF_MEMORY, "ALUT_ERROR_OUT_OF_MEMORY"},
        {ALUT_ERROR_INVALID_OPERATION, "ALUT_ERROR_INVALID_OPERATION"},
        {ALUT_ERROR_NO_CURRENT_CONTEXT, "ALUT_ERROR_NO_CURRENT_CONTEXT"},
        {ALUT_ERROR_AL_ERROR_ON_ENTRY, "ALUT_ERROR_AL_ERROR_ON_ENTRY"},
        {ALUT_ERROR_ALC_ERROR_ON_ENTRY, "ALUT_ERROR_ALC_ERROR_ON_ENTRY"},
        {ALUT_ERROR_UNSUPPORTED_FILE_TYPE, "ALUT_ERROR_UNSUPPORTED_FILE_TYPE"},
        {ALUT_ERROR_UNSUPPORTED_FILE_SUBTYPE, "ALUT_ERROR_UNSUPPORTED_FILE_SUBTYPE"},
        {ALUT_ERROR_CORRUPT_OR_TRUNCATED_DATA, "ALUT_ERROR_CORRUPT_OR_TRUNCATED_DATA"},
    };
    const char* name = "";
    for (const auto& entry : ALUT_NAMES)
    {
        if (entry.code == alutError)
            name = entry.name;
    }
    LOG_ERROR("%s%s", text.c_str(), name);
    return true;
}

const char* cl_Sound::AlErrorName(int error)
{
    switch (error)
    {
    case AL_NO_ERROR:
        return "AL_NO_ERROR";
    case AL_INVALID_NAME:
        return "AL_INVALID_NAME";
    case AL_INVALID_ENUM:
        return "AL_INVALID_ENUM";
    case AL_INVALID_VALUE:
        return "AL_INVALID_VALUE";
    case AL_INVALID_OPERATION:
        return "AL_INVALID_OPERATION";
    case AL_OUT_OF_MEMORY:
        return "AL_OUT_OF_MEMORY";
    default:
        return "";
    }
}

std::vector<int> cl_Sound::ChannelSizes(int n)
{
    const int interfaceSources = n - 7 > 8 ? 4 : 1;
    return {1, 5, n - 7 - interfaceSources, interfaceSources};
}

int cl_Sound::MaxSources(const std::string& setting)
{
    const int value = Ogre::StringConverter::parseInt(setting);
    if (value == 0 || value >= 32)
        return 32;
    if (value <= 10)
        return 10;
    return value;
}
