#pragma once

#include "graphics/IVisualStateElement.h"

#include <map>
#include <memory>
#include <string>

class TiXmlElement;

// An object with named visual states: each name has a list of elements that run, in the order they were
// registered, when that state is entered. Scene objects and patch items are holders.
class cl_VisualStateHolder
{
public:
    cl_VisualStateHolder();
    virtual ~cl_VisualStateHolder();
    cl_VisualStateHolder(const cl_VisualStateHolder&) = delete;
    cl_VisualStateHolder& operator=(const cl_VisualStateHolder&) = delete;

    // Leaves the current state, makes name current ("" stands for "default") and enters it. A name without
    // elements becomes current all the same; the current name is entered again, so its elements re-apply.
    virtual void SetVisualState(const std::string& name);
    // Appends one `vs name=` child per defined state name, in ascending byte order; the current state is
    // not marked.
    virtual void SaveVisualState(TiXmlElement& element) const;

    // Reads a `visualstates` element into holder: for each `visualstate` with a `name`, one element per
    // kind of child (slave, mesh, patch, effect, trigger, light, ctrl, script, emo, in that order whatever
    // the file's order) holding every child of that kind. An entry that cannot be read is logged and left
    // out; the rest is still read. A null or other element is logged and reads nothing.
    static void LoadVisualStatesFromXml(const TiXmlElement* element, cl_VisualStateHolder& holder);

    // Registers element under the state name, behind the elements already there.
    void AddVisualStateElement(const std::string& stateName, std::unique_ptr<IVisualStateElement> element);
    // Activate, respectively Deactivate, every element of the current state in registration order.
    void EnterVisualState();
    void LeaveVisualState();
    // Destroys every element; the current name stays.
    void ClearVisualStates();

    const std::string& GetCurrentVisualState() const { return m_currentVisualState; }

private:
    std::string m_currentVisualState;
    // Equal names keep their registration order.
    std::multimap<std::string, std::unique_ptr<IVisualStateElement>> m_visualStates;
};
