#include "graphics/cl_SceneItemLoader.h"

#include "common/LogCall.h"
#include "common/XmlHelpers.h"
#include "common/XmlNumbers.h"
#include "graphics/cl_AutoActionControl.h"
#include "graphics/cl_AutoAnimationControl.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_EventTrigger.h"
#include "graphics/cl_IdleAnimationControl.h"
#include "graphics/cl_PuppetControlFactory.h"
#include "graphics/cl_SceneItem.h"
#include "graphics/cl_SpecialAnimationControl.h"

#include <tinyxml.h>

#include <algorithm>
#include <limits>

namespace
{
bool IsItemControlType(const std::string& type)
{
    return type == "idlectrl" || type == "specialctrl" || type == "autoactionctrl" || type == "autoanimctrl";
}

// A new control of the type under name, heard by the item and kept as its control of that kind; null for a
// type a scene item does not have.
cl_PuppetControl* AddControl(const std::string& type, const std::string& name, cl_SceneItem& item)
{
    if (!IsItemControlType(type))
        return nullptr;
    cl_PuppetControl* control = cl_PuppetControlFactory::Add(type, name, *item.GetPuppet(), &item, &item);
    if (auto* idle = dynamic_cast<cl_IdleAnimationControl*>(control))
        item.SetIdleControl(idle);
    else if (auto* special = dynamic_cast<cl_SpecialAnimationControl*>(control))
        item.SetSpecialControl(special);
    else if (auto* autoAction = dynamic_cast<cl_AutoActionControl*>(control))
        item.SetAutoActionControl(autoAction);
    else if (auto* autoAnimation = dynamic_cast<cl_AutoAnimationControl*>(control))
        item.SetAutoAnimationControl(autoAnimation);
    return control;
}

void LoadControls(cl_SceneItem& item, const TiXmlElement& controls)
{
    for (const TiXmlElement* child = controls.FirstChildElement(); child; child = child->NextSiblingElement())
    {
        const std::string name = AttributeOrEmpty(*child, "name");
        cl_PuppetControl* control = item.GetPuppet()->GetControl(name);
        if (!control)
            control = AddControl(child->ValueStr(), name, item);
        if (!control)
        {
            LOG_ERROR("A control type was unknown and couldn't be added!");
            continue;
        }
        control->FromXml(child);
    }
}

void LoadFocus(cl_SceneItem& item, const TiXmlElement& element)
{
    const TiXmlElement* focus = element.FirstChildElement("focustarget");
    if (focus && !AttributeOrEmpty(*focus, "bone").empty())
    {
        item.SetFocus(AttributeOrEmpty(*focus, "bone"), AttributeOrEmpty(*focus, "slave"));
        return;
    }
    for (const TiXmlElement* puppet = element.FirstChildElement("puppet"); puppet;
         puppet = puppet->NextSiblingElement("puppet"))
    {
        const TiXmlElement* target = puppet->FirstChildElement("focustarget");
        if (target && target->FirstChildElement("bone"))
        {
            item.SetFocus(ChildText(*target, "bone"), "");
            return;
        }
    }
}
} // namespace

std::unique_ptr<cl_SceneItem> cl_SceneItemLoader::Load(Ogre::SceneManager* sceneManager,
                                                       const TiXmlElement* element)
{
    if (!element || element->ValueStr() != "item" || AttributeOrEmpty(*element, "assetref").empty())
    {
        LOG_ERROR("Couldn't load sceneitem from xml - item node including 'assetref' expected.");
        return nullptr;
    }
    if (!sceneManager)
        return nullptr;
    auto item = std::make_unique<cl_SceneItem>(*sceneManager, AttributeOrEmpty(*element, "assetref"));
    if (!LoadFromXml(*item, *element, false))
    {
        LOG_ERROR("Loading SceneItem failed!");
        return nullptr;
    }
    return item;
}

bool cl_SceneItemLoader::LoadFromXml(cl_SceneItem& item, const TiXmlElement& element, bool reload)
{
    if (IsTrueAttribute(element, "persistent"))
        item.SetPersistent(true);
    cl_ControlledPuppet* puppet = item.GetPuppet();
    if (!reload)
    {
        if (const TiXmlElement* model = element.FirstChildElement("puppet"))
            puppet->FromXml(model);
    }
    item.SetQueryFlags(IsTrueAttribute(element, "pickable") ? 1u : 0u);
    if (const TiXmlElement* controls = element.FirstChildElement("controls"))
        LoadControls(item, *controls);
    if (element.FirstChildElement("examinedistance"))
    {
        float value = 0.0f;
        ReadNumber(ChildText(element, "examinedistance"), value);
        // Cut toward zero, held within what an int holds.
        const float limit = static_cast<float>(std::numeric_limits<int>::max() / 2);
        item.SetExamineDistance(static_cast<int>(std::clamp(value, -limit, limit)));
    }
    if (const TiXmlElement* states = element.FirstChildElement("visualstates"))
        cl_VisualStateHolder::LoadVisualStatesFromXml(states, item);
    if (const TiXmlElement* trigger = element.FirstChildElement("trigger"))
        item.GetEventTrigger().LoadFromXml(trigger);
    LoadFocus(item, element);
    return true;
}
