// Reads bytes as the XML of a scene object: every `visualstates` element into a body built in code (whose
// states are then each entered), every `trigger` into its event trigger (whose events are then fired), and
// every element holding `submeshes` or `slaves` as its saved body state. Scripts do not run (there is no
// script system). A crash, a hang or a saved body state that cannot be read back is a failure.
#include "common/XmlParse.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_EventTrigger.h"
#include "support/HeadlessOgre.h"
#include "support/PrintedXml.h"
#include "support/TestBody.h"

#include <tinyxml.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{
// Every element of the tree below node, in document order, at most limit of them.
void Collect(const TiXmlNode& node, std::vector<const TiXmlElement*>& elements, size_t limit)
{
    for (const TiXmlElement* child = node.FirstChildElement(); child && elements.size() < limit;
         child = child->NextSiblingElement())
    {
        elements.push_back(child);
        Collect(*child, elements, limit);
    }
}

void ReadBody(cl_Character& body, const std::vector<const TiXmlElement*>& elements)
{
    std::vector<std::string> states{""};
    std::vector<std::string> events;
    for (const TiXmlElement* element : elements)
    {
        const std::string& name = element->ValueStr();
        if (name == "visualstates")
            cl_VisualStateHolder::LoadVisualStatesFromXml(element, body);
        else if (name == "trigger")
            body.GetEventTrigger().LoadFromXml(element);
        else if (name == "visualstate" && element->Attribute("name"))
            states.push_back(element->Attribute("name"));
        else if (name == "script" && element->Attribute("event"))
            events.push_back(element->Attribute("event"));
        else if (element->FirstChildElement("submeshes") || element->FirstChildElement("slaves"))
            body.RestoreState(element);
    }
    for (const std::string& state : states)
        body.SetVisualState(state);
    for (const std::string& event : events)
        body.GetPuppet()->DispatchAnimationEvent(event);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static HeadlessOgre ogre;
    TiXmlDocument document;
    ParseXml(document, std::string(reinterpret_cast<const char*>(data), size), "fuzz input");
    std::vector<const TiXmlElement*> elements;
    Collect(document, elements, 400);

    const auto body = MakeTestBody(ogre.SceneManager(), "fuzz");
    ReadBody(*body, elements);

    TiXmlElement saved("fuzz");
    body->SaveState(&saved);
    TiXmlDocument reread;
    ParseXml(reread, PrintedXml(&saved), "saved body state");
    if (reread.Error())
        std::abort();
    return 0;
}
