#include "graphics/cl_EffectManager.h"

#include "common/CommandArguments.h"
#include "common/LogCall.h"
#include "common/cl_Command.h"
#include "common/cl_GameTime.h"
#include "graphics/cl_CompositorEffect.h"
#include "graphics/cl_LightShaft.h"
#include "graphics/cl_ParticleEffect.h"
#include "graphics/cl_ReflectionEffect.h"
#include "graphics/cl_RefractionEffect.h"
#include "sound/cl_SoundEffect.h"

#include <tinyxml.h>

namespace
{
const char* const RECEIVER = "effectmanager";

// The element's attribute when it is there and not empty; null otherwise.
const char* NonEmptyAttribute(const TiXmlElement& element, const char* name)
{
    const char* value = element.Attribute(name);
    return value && *value ? value : nullptr;
}
} // namespace

cl_EffectManager::cl_EffectManager(cl_CommandDistributor& distributor)
    : m_receiver(distributor, RECEIVER, this), m_frames(cl_GameTime::GetInstance(), this, "fx", 0)
{
}

cl_EffectManager::~cl_EffectManager()
{
    for (auto& effect : m_effects)
        effect.second->Unload();
}

void cl_EffectManager::LoadEffects(const TiXmlElement* effects, const QualityTest& isAllowedByQuality,
                                   Ogre::SceneManager* sceneManager)
{
    if (!effects)
        return;
    for (const TiXmlElement* effect = effects->FirstChildElement("effect"); effect;
         effect = effect->NextSiblingElement("effect"))
    {
        const char* id = NonEmptyAttribute(*effect, "id");
        if (id && isAllowedByQuality(id))
            LoadEffect(effect, sceneManager);
    }
}

void cl_EffectManager::LoadEffect(const TiXmlElement* element, Ogre::SceneManager* sceneManager)
{
    const char* id = element ? NonEmptyAttribute(*element, "id") : nullptr;
    const char* type = element ? NonEmptyAttribute(*element, "type") : nullptr;
    if (!id || !type)
        return;
    std::unique_ptr<cl_BaseEffect> effect = CreateEffect(type, id);
    if (!effect)
        return;
    const auto earlier = m_effects.find(id);
    if (earlier != m_effects.end())
    {
        // The later effect takes the id; the earlier one must not live on unseen, holding its engine names.
        LOG_WARNING("The effect id '%s' is used twice; the later effect replaces the earlier.", id);
        earlier->second->Unload();
        m_effects.erase(earlier);
    }
    effect->LoadFromXml(*element, sceneManager);
    const char* enabled = element->Attribute("enabled");
    effect->SetActive(!enabled || std::string(enabled) == "true");
    m_effects[id] = std::move(effect);
}

std::unique_ptr<cl_BaseEffect> cl_EffectManager::CreateEffect(const std::string& type, const std::string& id)
{
    if (type == cl_ParticleEffect::TYPE)
        return std::make_unique<cl_ParticleEffect>(id);
    if (type == cl_LightShaft::TYPE)
        return std::make_unique<cl_LightShaft>(id);
    if (type == cl_ReflectionEffect::TYPE)
        return std::make_unique<cl_ReflectionEffect>(id);
    if (type == cl_RefractionEffect::TYPE)
        return std::make_unique<cl_RefractionEffect>(id);
    if (type == cl_SoundEffect::TYPE)
        return std::make_unique<cl_SoundEffect>(id);
    if (type == cl_CompositorEffect::TYPE)
        return std::make_unique<cl_CompositorEffect>(id);
    return nullptr;
}

void cl_EffectManager::UnloadEffects(const TiXmlElement* effects)
{
    if (!effects)
        return;
    for (const TiXmlElement* effect = effects->FirstChildElement("effect"); effect;
         effect = effect->NextSiblingElement("effect"))
        UnloadEffect(effect);
}

void cl_EffectManager::UnloadEffect(const TiXmlElement* element)
{
    const char* id = element ? NonEmptyAttribute(*element, "id") : nullptr;
    if (!id)
        return;
    const auto found = m_effects.find(id);
    if (found == m_effects.end())
        return;
    found->second->Unload();
    m_effects.erase(found);
}

cl_BaseEffect* cl_EffectManager::FindEffect(const std::string& id) const
{
    const auto found = m_effects.find(id);
    return found == m_effects.end() ? nullptr : found->second.get();
}

void cl_EffectManager::NotifySceneLeave(float fadeTime)
{
    for (auto& effect : m_effects)
        effect.second->OnSceneLeave(fadeTime);
}

void cl_EffectManager::Update(float dt)
{
    for (auto& effect : m_effects)
        effect.second->Update(dt);
}

bool cl_EffectManager::ExecuteCmd(cl_Command& cmd)
{
    const CommandArguments args(cmd, RECEIVER);
    if (const CommandEntry* command = args.Find(COMMANDS, false))
        (this->*command->run)(args);
    return false;
}

void cl_EffectManager::CmdSetActive(const CommandArguments& args)
{
    if (cl_BaseEffect* effect = FindEffect(args.String(0)))
        effect->SetActive(args.Bool(1));
}

void cl_EffectManager::CmdSetParameter(const CommandArguments& args)
{
    if (cl_BaseEffect* effect = FindEffect(args.String(0)))
        effect->SetParameter(args.String(1), args.Any(2));
}
