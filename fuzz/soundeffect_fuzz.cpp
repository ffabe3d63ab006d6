// Feeds bytes to the scene sound effect as its `effect` element and runs it through its life without a
// sound system (so it never plays): frames, a scene change's fade, switching off and on, unloading. Its
// breaks must never be negative and its runs must hold one play or more, from repeat min to repeat max.
#include "common/XmlParse.h"
#include "platform/GameRand.h"
#include "sound/cl_SoundEffect.h"

#include <tinyxml.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace
{
void Require(bool condition, const char* what)
{
    if (!condition)
    {
        std::fprintf(stderr, "soundeffect_fuzz: %s\n", what);
        std::abort();
    }
}

void Frames(cl_SoundEffect& effect)
{
    for (float dt : {0.0f, 0.016f, 0.5f, 3.0f, 10.0f})
        effect.Update(dt);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool randomOnce = (platform::UseGameRandForOgre(), true);
    (void)randomOnce;
    TiXmlDocument document;
    ParseXml(document, std::string(reinterpret_cast<const char*>(data), size), "effect");
    const TiXmlElement* root = document.RootElement();
    if (!root)
        return 0;
    cl_SoundEffect effect("fuzz");
    effect.LoadFromXml(*root, nullptr);
    for (int draw = 0; draw < 20; ++draw)
    {
        Require(effect.RandomBreak() >= 0.0f, "a negative break");
        Require(effect.RandomRepeatCount() >= 1, "a run without plays");
    }
    Frames(effect);
    effect.OnSceneLeave(1.0f);
    Frames(effect);
    effect.SetActive(false);
    effect.SetActive(true);
    Frames(effect);
    effect.StartLeaveFade(0.0f);
    Require(!effect.IsActive(), "a leave without time left the effect on");
    Frames(effect);
    effect.Unload();
    Require(effect.GetPlaybackId() == -1, "a playback without a sound system");
    return 0;
}
