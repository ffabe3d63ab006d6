#include "graphics/cl_VisualStateHolder.h"

#include "common/LogCall.h"
#include "graphics/cl_CtrlStateActivator.h"
#include "graphics/cl_EffectStateActivator.h"
#include "graphics/cl_EmoStateActivator.h"
#include "graphics/cl_LightStateActivator.h"
#include "graphics/cl_MeshStateActivator.h"
#include "graphics/cl_PatchStateActivator.h"
#include "graphics/cl_ScriptStateActivator.h"
#include "graphics/cl_SlaveStateActivator.h"
#include "graphics/cl_TriggerStateActivator.h"

#include <tinyxml.h>

namespace
{
template <class T> std::unique_ptr<IVisualStateElement> Create()
{
    return std::make_unique<T>();
}

template <class T> bool AddEntry(IVisualStateElement& element, const TiXmlElement& entry)
{
    return static_cast<T&>(element).AddEntry(entry);
}

// One kind of child of a `visualstate`: the element class that reads it and the message for an entry it
// cannot read.
struct ElementKind
{
    const char* name;
    const char* readError;
    std::unique_ptr<IVisualStateElement> (*create)();
    bool (*addEntry)(IVisualStateElement& element, const TiXmlElement& entry);
};

template <class T> constexpr ElementKind Kind(const char* name, const char* readError)
{
    return {name, readError, &Create<T>, &AddEntry<T>};
}

// In the order a state's elements run.
const ElementKind KINDS[] = {
    Kind<cl_SlaveStateActivator>("slave", "Could not load a slavestate in vs '%s'."),
    Kind<cl_MeshStateActivator>("mesh", "Could not load a meshstate in vs '%s'."),
    Kind<cl_PatchStateActivator>("patch", "Could not load a patchstate in vs '%s'."),
    Kind<cl_EffectStateActivator>("effect", "Could not load an effectstate in vs '%s'."),
    Kind<cl_TriggerStateActivator>("trigger", "Could not load an triggerstate in vs '%s'."),
    Kind<cl_LightStateActivator>("light", "Could not load an lightstate in vs '%s',"),
    Kind<cl_CtrlStateActivator>("ctrl", "Could not load a controlerstate in vs '%s'."),
    Kind<cl_ScriptStateActivator>("script", ""),
    Kind<cl_EmoStateActivator>("emo", "Could not load a emotion in vs '%s'."),
};
} // namespace

cl_VisualStateHolder::cl_VisualStateHolder() = default;

cl_VisualStateHolder::~cl_VisualStateHolder()
{
    ClearVisualStates();
}

void cl_VisualStateHolder::SetVisualState(const std::string& name)
{
    LeaveVisualState();
    m_currentVisualState = name.empty() ? "default" : name;
    EnterVisualState();
}

void cl_VisualStateHolder::SaveVisualState(TiXmlElement& element) const
{
    for (auto state = m_visualStates.begin(); state != m_visualStates.end();
         state = m_visualStates.upper_bound(state->first))
    {
        auto* vs = new TiXmlElement("vs");
        vs->SetAttribute("name", state->first);
        element.LinkEndChild(vs);
    }
}

void cl_VisualStateHolder::LoadVisualStatesFromXml(const TiXmlElement* element, cl_VisualStateHolder& holder)
{
    if (!element || element->ValueStr() != "visualstates")
    {
        LOG_ERROR("Couldn't load visualstates from xml - visualstates node expected.");
        return;
    }
    for (const TiXmlElement* state = element->FirstChildElement("visualstate"); state;
         state = state->NextSiblingElement("visualstate"))
    {
        const char* stateName = state->Attribute("name");
        if (!stateName)
            continue;
        for (const ElementKind& kind : KINDS)
        {
            const TiXmlElement* entry = state->FirstChildElement(kind.name);
            if (!entry)
                continue;
            std::unique_ptr<IVisualStateElement> stateElement = kind.create();
            for (; entry; entry = entry->NextSiblingElement(kind.name))
            {
                if (!kind.addEntry(*stateElement, *entry))
                    LOG_ERROR(kind.readError, stateName);
            }
            holder.AddVisualStateElement(stateName, std::move(stateElement));
        }
    }
}

void cl_VisualStateHolder::AddVisualStateElement(const std::string& stateName,
                                                 std::unique_ptr<IVisualStateElement> element)
{
    m_visualStates.emplace(stateName, std::move(element));
}

void cl_VisualStateHolder::EnterVisualState()
{
    const auto range = m_visualStates.equal_range(m_currentVisualState);
    for (auto element = range.first; element != range.second; ++element)
        element->second->Activate(*this);
}

void cl_VisualStateHolder::LeaveVisualState()
{
    const auto range = m_visualStates.equal_range(m_currentVisualState);
    for (auto element = range.first; element != range.second; ++element)
        element->second->Deactivate(*this);
}

void cl_VisualStateHolder::ClearVisualStates()
{
    m_visualStates.clear();
}
