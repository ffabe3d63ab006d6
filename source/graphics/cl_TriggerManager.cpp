#include "graphics/cl_TriggerManager.h"

#include "common/CommandArguments.h"
#include "common/LogCall.h"
#include "common/XmlHelpers.h"
#include "common/cl_Command.h"
#include "common/cl_GameTime.h"
#include "graphics/cl_AnimationEventTrigger.h"
#include "graphics/cl_ProximityTrigger.h"
#include "graphics/cl_ScenePatchEventTrigger.h"
#include "graphics/cl_ScriptTrigger.h"
#include "graphics/cl_ValueSrcTrigger.h"

#include <tinyxml.h>

namespace
{
const char* const RECEIVER = "triggermanager";

template <class Trigger> std::unique_ptr<cl_Trigger> Make()
{
    return std::make_unique<Trigger>();
}

const struct
{
    const char* type;
    std::unique_ptr<cl_Trigger> (*make)();
} TYPES[] = {
    {"proximity", &Make<cl_ProximityTrigger>},
    {"animationevent", &Make<cl_AnimationEventTrigger>},
    {"patchevent", &Make<cl_ScenePatchEventTrigger>},
    {"valuesrc", &Make<cl_ValueSrcTrigger>},
};

std::unique_ptr<cl_Trigger> CreateTrigger(const std::string& type)
{
    for (const auto& entry : TYPES)
    {
        if (type == entry.type)
            return entry.make();
    }
    LOG_ERROR("Unknown trigger type '%s'... creating a matching Trigger failed!", type.c_str());
    return nullptr;
}
} // namespace

cl_TriggerManager::cl_TriggerManager(cl_CommandDistributor& distributor)
    : m_receiver(distributor, RECEIVER, this), m_gameTime(cl_GameTime::GetInstance(), this, "default", 0)
{
}

cl_TriggerManager::~cl_TriggerManager() = default;

bool cl_TriggerManager::ExecuteCmd(cl_Command& cmd)
{
    const CommandArguments args(cmd, RECEIVER);
    if (const CommandEntry* command = args.Find(COMMANDS, true))
        (this->*command->run)(args);
    return false;
}

void cl_TriggerManager::CmdSetEnabled(const CommandArguments& args)
{
    if (cl_Trigger* trigger = GetTrigger(args.String(0)))
        trigger->SetEnabled(args.Bool(1));
}

void cl_TriggerManager::Update(float dt)
{
    m_removed.clear();
    std::vector<std::string> names;
    names.reserve(m_triggers.size());
    for (const auto& trigger : m_triggers)
        names.push_back(trigger.first);
    for (const std::string& name : names)
    {
        // Looked up again: an earlier trigger's script may have removed this one.
        if (cl_Trigger* trigger = GetTrigger(name))
            trigger->Update(dt);
    }
}

void cl_TriggerManager::LoadFromXml(const TiXmlElement* triggers)
{
    if (!triggers)
        return;
    if (triggers->ValueStr() != "triggers")
    {
        LOG_ERROR("Couldn't load triggers from xml - triggers node expected.");
        return;
    }
    for (const TiXmlElement* element = triggers->FirstChildElement("trigger"); element;
         element = element->NextSiblingElement("trigger"))
    {
        const char* type = element->Attribute("type");
        const char* name = element->Attribute("name");
        if (!type || !name)
        {
            LOG_ERROR("Incomplete trigger definition in xml.");
            continue;
        }
        std::unique_ptr<cl_Trigger> trigger = CreateTrigger(type);
        if (trigger)
            trigger->LoadFromXml(element);
        AddTrigger(name, std::move(trigger));
    }
}

void cl_TriggerManager::RemoveByXml(const TiXmlElement* triggers)
{
    if (!triggers)
        return;
    if (triggers->ValueStr() != "triggers")
    {
        LOG_ERROR("Couldn't remove triggers from xml - triggers node expected.");
        return;
    }
    for (const TiXmlElement* element = triggers->FirstChildElement("trigger"); element;
         element = element->NextSiblingElement("trigger"))
    {
        const auto found =
            element->Attribute("name") ? m_triggers.find(element->Attribute("name")) : m_triggers.end();
        if (found == m_triggers.end())
            continue;
        // A trigger's script may be what takes the scene down: that trigger must outlive its script.
        if (cl_ScriptTrigger::IsRunningScript())
        {
            found->second->SetEnabled(false);
            m_removed.push_back(std::move(found->second));
        }
        m_triggers.erase(found);
    }
}

void cl_TriggerManager::AddTrigger(const std::string& name, std::unique_ptr<cl_Trigger> trigger)
{
    if (!trigger)
    {
        LOG_ERROR("Can't add a NULL ptr, stupid!");
        return;
    }
    if (m_triggers.count(name))
    {
        LOG_ERROR("Trigger with the name '%s' does allready exist!", name.c_str());
        return;
    }
    trigger->SetName(name);
    m_triggers[name] = std::move(trigger);
}

cl_Trigger* cl_TriggerManager::GetTrigger(const std::string& name) const
{
    const auto found = m_triggers.find(name);
    return found == m_triggers.end() ? nullptr : found->second.get();
}
