#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

class IPatchAnimationEventListener;
class TiXmlElement;

// One named animation of a patch item: a stretch of frames of an animated patch of the current scene,
// played at a speed for a duration, with named events at times and an animation that follows it.
struct st_PatchAnimationProperties
{
    // The animated patch of the current scene that plays.
    std::string patch;
    // The animation that starts when this one ends; empty for none.
    std::string followup;
    int startFrame = 0;
    int endFrame = 1;
    // Factor on the patch's own frame rate; negative plays backward.
    float speed = 1.0f;
    // Seconds the animation lasts; 0 until read from a patch.
    float duration = 0.0f;
    // By event name.
    std::map<std::string, std::set<IPatchAnimationEventListener*>> listeners;
    // Event name -> time: on the patch's time line, or with a frame sequence seconds since the start
    // scaled by the speed.
    std::map<std::string, float> events;
    std::vector<int> frameSequence;
    bool hasSequence = false;

    // Fills properties from an `animation` element (`patch`, `framesequence`, `start`, `end`, `duration`,
    // `followup`; `mode` only warns). The patch must be an animated patch of the current scene: without it
    // only the patch's name is read and the rest keeps its defaults.
    static void LoadFromXml(const TiXmlElement& element, st_PatchAnimationProperties& properties);
    // Every frame of a list of numbers and ascending ranges ("1-3,7"); a descending range adds nothing.
    static std::vector<int> ParseFrameSequence(const std::string& text);
};
