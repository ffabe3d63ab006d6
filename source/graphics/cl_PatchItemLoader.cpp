#include "graphics/cl_PatchItemLoader.h"

#include "common/LogCall.h"
#include "common/XmlHelpers.h"
#include "common/XmlNumbers.h"
#include "graphics/cl_PatchItem.h"

#include <tinyxml.h>

std::unique_ptr<cl_PatchItem> cl_PatchItemLoader::Load(Ogre::SceneManager* sceneManager,
                                                       const TiXmlElement* element, const std::string& id)
{
    if (!sceneManager)
        return nullptr;
    if (!element || element->ValueStr() != "patchitem")
    {
        LOG_ERROR("Couldn't load patchitem from xml - patchitem node expected.");
        return nullptr;
    }
    auto item = std::make_unique<cl_PatchItem>(id);
    if (!LoadFromXml(*item, *element, false))
    {
        LOG_ERROR("Loading PatchItem failed!");
        return nullptr;
    }
    return item;
}

bool cl_PatchItemLoader::LoadFromXml(cl_PatchItem& item, const TiXmlElement& element, bool clear)
{
    if (clear)
    {
        item.ClearAnimations();
        item.ClearVisualStates();
    }
    const TiXmlElement* animations = element.FirstChildElement("animations");
    for (const TiXmlElement* animation = animations ? animations->FirstChildElement("animation") : nullptr;
         animation; animation = animation->NextSiblingElement("animation"))
    {
        const std::string name = AttributeOrEmpty(*animation, "name");
        if (name.empty() || AttributeOrEmpty(*animation, "patch").empty())
            continue;
        st_PatchAnimationProperties record;
        st_PatchAnimationProperties::LoadFromXml(*animation, record);
        item.SetAnimation(name, record);
        for (const TiXmlElement* event = animation->FirstChildElement("event"); event;
             event = event->NextSiblingElement("event"))
        {
            const char* text = event->GetText();
            if (!text || !*text)
                break;
            item.AddAnimationEvent(name, text, NumberAttribute(*event, "time", 0.0f));
        }
    }
    if (const TiXmlElement* states = element.FirstChildElement("visualstates"))
        cl_VisualStateHolder::LoadVisualStatesFromXml(states, item);
    if (element.FirstChildElement("trigger"))
        LOG_WARNING("The patch item '%s' has no scripts of its own: its trigger is ignored.",
                    item.GetId().c_str());
    return true;
}
