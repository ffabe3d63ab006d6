#pragma once

#include "graphics/IVisualStateElement.h"

#include <string>
#include <vector>

class TiXmlElement;

// One entry of a visual state's `patch` element. The animation settings were taken from the patch as it
// was when the entry was read; timePosition is -1 when it was not an animated patch then.
struct st_PatchSwitch
{
    std::string name;
    bool animated = false;
    bool visible = false;
    int mode = 1;
    float timePosition = -1.0f;
    float loopDelay = 0.0f;
};

// The `patch` element of a visual state: shows or hides patches of the current scene's backdrops and sets
// how an animated one plays.
class cl_PatchStateActivator : public IVisualStateElement
{
public:
    // Reads `name` (required, not empty) and `visible`; for a patch of the loaded scene that is animated
    // now, also `time` (seconds, or "max" for its duration), else `frame` (a frame number, or "max"),
    // `animated`, `mode` ("bounce", "loop" or "none") and `delay`. False, with nothing added, without a
    // name.
    bool AddEntry(const TiXmlElement& entry);

    // Hides or shows each entry's patch, in order; a shown patch that was animated when the entry was read
    // and still is takes the entry's mode, loop delay, play state and time. A patch the loaded scene
    // lacks is logged and ends the element.
    void Activate(cl_VisualStateHolder& owner) override;

private:
    std::vector<st_PatchSwitch> m_entries;
};
