#include "graphics/st_PatchAnimationProperties.h"

#include "common/LogCall.h"
#include "common/XmlHelpers.h"
#include "common/XmlNumbers.h"
#include "graphics/cl_AnimatedPatch.h"
#include "graphics/cl_PatchItem.h"

#include <tinyxml.h>

#include <cstdlib>
#include <sstream>

namespace
{
// The longest range a frame sequence expands; data asking for more is cut there.
const long MAX_SEQUENCE_LENGTH = 100000;

int ReadFrame(const std::string& text)
{
    int frame = 0;
    ReadInteger(text, frame);
    return frame;
}
} // namespace

std::vector<int> st_PatchAnimationProperties::ParseFrameSequence(const std::string& text)
{
    std::vector<int> frames;
    std::istringstream tokens(text);
    std::string token;
    while (std::getline(tokens, token, ','))
    {
        const size_t dash = token.find('-');
        if (dash == std::string::npos)
        {
            frames.push_back(ReadFrame(token));
            continue;
        }
        const int first = ReadFrame(token.substr(0, dash));
        const int last = ReadFrame(token.substr(dash + 1));
        for (long frame = first; frame <= last && static_cast<long>(frames.size()) < MAX_SEQUENCE_LENGTH;
             ++frame)
            frames.push_back(static_cast<int>(frame));
    }
    return frames;
}

void st_PatchAnimationProperties::LoadFromXml(const TiXmlElement& element,
                                              st_PatchAnimationProperties& properties)
{
    const char* patchName = element.Attribute("patch");
    if (!patchName)
        return;
    properties.patch = patchName;
    const cl_AnimatedPatch* patch = cl_PatchItem::FindAnimatedPatch(properties.patch);
    if (!patch)
        return;
    if (element.Attribute("mode"))
        LOG_WARNING("Looped Animations aren't supported anymore! Use VisualStates...");

    const int frameCount = patch->GetFrameCount();
    float direction = 1.0f;
    size_t count = 0;
    const std::string sequence = AttributeOrEmpty(element, "framesequence");
    if (!sequence.empty())
    {
        properties.hasSequence = true;
        properties.frameSequence = ParseFrameSequence(sequence);
        if (!properties.frameSequence.empty())
        {
            properties.startFrame = properties.frameSequence.front();
            properties.endFrame = properties.frameSequence.back();
        }
        count = properties.frameSequence.size();
    }
    else
    {
        properties.hasSequence = false;
        properties.startFrame = AttributeOrEmpty(element, "start") == "max"
                                    ? frameCount - 1
                                    : IntegerAttribute(element, "start", 0);
        properties.endFrame = IntegerAttribute(element, "end", frameCount - 1);
        direction = properties.startFrame <= properties.endFrame ? 1.0f : -1.0f;
        count =
            static_cast<size_t>(std::labs(static_cast<long>(properties.endFrame) - properties.startFrame)) +
            1;
    }
    const float frameTime = patch->GetDuration() / static_cast<float>(frameCount);
    const float natural = frameTime * static_cast<float>(count);
    properties.duration = natural;
    float duration = 0.0f;
    // A duration of 0 or less would make the speed infinite: the natural one stays.
    if (ReadNumber(AttributeOrEmpty(element, "duration"), duration) && duration > 0.0f)
        properties.duration = duration;
    properties.speed = properties.duration > 0.0f ? natural / properties.duration * direction : direction;
    properties.followup = AttributeOrEmpty(element, "followup");
}
