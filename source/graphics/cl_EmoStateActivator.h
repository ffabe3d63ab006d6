#pragma once

#include "graphics/IVisualStateElement.h"

#include <string>
#include <vector>

class TiXmlElement;

// One emotion of an `emo` element: the face's emotion, how strongly and how fast it fades in.
struct st_EmotionEntry
{
    std::string name;
    float strength = 0.0f;
    float fade = 0.0f;
};

// The `emo` element of a visual state: emotions set on the owner's face.
class cl_EmoStateActivator : public IVisualStateElement
{
public:
    // Reads `name` (required, not empty), `strength` and `fade` (numbers, 0 when absent or empty); false,
    // with nothing added, without a name.
    bool AddEntry(const TiXmlElement& entry);

    // Shows each emotion, in order, on the owner's face for good; an owner that is no character with a face
    // gets the first one logged as not set, and the element ends.
    void Activate(cl_VisualStateHolder& owner) override;

private:
    std::vector<st_EmotionEntry> m_emotions;
};
