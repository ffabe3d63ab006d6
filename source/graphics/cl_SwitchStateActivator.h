#pragma once

#include "graphics/IVisualStateElement.h"

#include <string>
#include <vector>

class TiXmlElement;
class cl_ControlledPuppet;

namespace Ogre
{
class SceneNode;
}

// One entry of a visual-state element that switches a named thing on or off.
struct st_ElementSwitch
{
    std::string name;
    bool flag = false;
};

// A visual-state element whose entries switch named things of the owner on or off (slaves, submeshes,
// controls, effects, triggers, lights), walked in document order when the state is entered.
class cl_SwitchStateActivator : public IVisualStateElement
{
public:
    // Reads the entry's `name` (required) and its flag attribute, true only when it is exactly "true";
    // false, with nothing added, when the name is missing (or empty, where it must have text).
    bool AddEntry(const TiXmlElement& entry);

    // Applies the entries in order until one reports that the rest of the element must not run.
    void Activate(cl_VisualStateHolder& owner) override;

protected:
    // flagAttribute: the attribute holding the flag ("visible", "enabled"); a literal. nameMustHaveText:
    // an entry whose name is empty cannot be read either.
    explicit cl_SwitchStateActivator(const char* flagAttribute, bool nameMustHaveText = false)
        : m_flagAttribute(flagAttribute), m_nameMustHaveText(nameMustHaveText)
    {
    }

    // Applies one entry; false (after logging why) ends the element.
    virtual bool Apply(cl_VisualStateHolder& owner, const st_ElementSwitch& entry) = 0;

    // The puppet of the owner when the owner is a scene object with one; null otherwise.
    static cl_ControlledPuppet* PuppetOf(cl_VisualStateHolder& owner);
    // Shows or hides node and everything below it; false for a null node.
    static bool SetNodeVisible(Ogre::SceneNode* node, bool visible);

private:
    const char* m_flagAttribute;
    bool m_nameMustHaveText;
    std::vector<st_ElementSwitch> m_entries;
};
