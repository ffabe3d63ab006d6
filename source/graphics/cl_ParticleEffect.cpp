#include "graphics/cl_ParticleEffect.h"

#include "common/LogCall.h"
#include "common/XmlHelpers.h"
#include "common/cl_Argument.h"
#include "common/cl_FloatSource.h"
#include "graphics/EffectParent.h"
#include "platform/particles/ParticleEmitter.h"
#include "platform/particles/ParticleSystem.h"
#include "platform/particles/ParticleSystemManager.h"
#include "platform/particles/ParticleTechnique.h"

#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <tinyxml.h>

#include <cctype>

namespace
{
const char* const EMISSION_RATE = " emissionrate";
const char* const ENABLED = " enabled";
const char* const ALL_EMITTERS = "all";
// "fx" seconds between loading and the start of an enabled system.
const float START_DELAY = 0.2f;

// Whether name ends with suffix, letters compared without regard to case.
bool EndsWithNoCase(const std::string& name, const char* suffix)
{
    const std::string tail(suffix);
    if (name.size() < tail.size())
        return false;
    for (size_t i = 0; i < tail.size(); ++i)
    {
        if (std::tolower(static_cast<unsigned char>(name[name.size() - tail.size() + i])) !=
            std::tolower(static_cast<unsigned char>(tail[i])))
            return false;
    }
    return true;
}

// The emitter a parameter names: its name up to the first blank.
std::string EmitterOf(const std::string& parameter)
{
    return parameter.substr(0, parameter.find(' '));
}

} // namespace

const char* const cl_ParticleEffect::TYPE = "particle";

cl_ParticleEffect::cl_ParticleEffect(const std::string& id) : cl_BaseEffect(TYPE, id) {}

cl_ParticleEffect::~cl_ParticleEffect()
{
    Unload();
}

template <class Apply> void cl_ParticleEffect::ForEachEmitter(const std::string& emitterName, Apply apply)
{
    if (!m_particleSystem)
        return;
    for (size_t t = 0; t < m_particleSystem->getNumTechniques(); ++t)
    {
        const particles::ParticleTechnique& technique = *m_particleSystem->getTechnique(t);
        if (emitterName == ALL_EMITTERS)
        {
            for (size_t e = 0; e < technique.getNumEmitters(); ++e)
                apply(*technique.getEmitter(e));
        }
        else if (particles::ParticleEmitter* emitter = technique.getEmitter(emitterName))
        {
            apply(*emitter);
        }
    }
}

void cl_ParticleEffect::SetEmitterEmissionRate(const std::string& emitterName, float rate)
{
    ForEachEmitter(emitterName,
                   [rate](particles::ParticleEmitter& emitter) { emitter.getEmissionRate().setValue(rate); });
}

void cl_ParticleEffect::SetEmitterEnabled(const std::string& emitterName, bool enabled)
{
    ForEachEmitter(emitterName,
                   [enabled](particles::ParticleEmitter& emitter) { emitter.setEnabled(enabled); });
}

void cl_ParticleEffect::AttachToNode(Ogre::SceneNode* node)
{
    if (!m_particleSystem)
        return;
    if (Ogre::SceneNode* parent = m_particleSystem->getParentSceneNode())
        parent->detachObject(m_particleSystem);
    if (node)
        node->attachObject(m_particleSystem);
}

void cl_ParticleEffect::SetParameter(const std::string& name, float value)
{
    if (EndsWithNoCase(name, EMISSION_RATE))
        SetEmitterEmissionRate(EmitterOf(name), value);
    else
        cl_BaseEffect::SetParameter(name, value);
}

void cl_ParticleEffect::SetParameter(const std::string& name, const cl_Argument& value)
{
    if (EndsWithNoCase(name, EMISSION_RATE))
    {
        SetEmitterEmissionRate(EmitterOf(name), static_cast<float>(value.GetDouble()));
    }
    else if (EndsWithNoCase(name, ENABLED))
    {
        SetEmitterEnabled(EmitterOf(name), value.GetBool());
    }
    else if (name == "restart")
    {
        Restart();
    }
    else if (name == "parent")
    {
        const std::string node = value.GetString();
        if (m_sceneManager && !node.empty() && m_sceneManager->hasSceneNode(node))
            AttachToNode(m_sceneManager->getSceneNode(node));
    }
    else if (name == "offset")
    {
        const float seconds = static_cast<float>(value.GetDouble());
        if (m_particleSystem)
            m_particleSystem->setFastForward(seconds, 1.0f);
    }
    else
    {
        cl_BaseEffect::SetParameter(name, value);
    }
}

void cl_ParticleEffect::Update(float dt)
{
    if (m_startDelay > 0.0f)
    {
        m_startDelay -= dt;
        if (m_startDelay <= 0.0f && IsActive() && m_particleSystem)
        {
            m_particleSystem->start();
            m_particleSystem->fastForward();
        }
    }
    for (const auto& binding : GetFloatSourceBindings())
    {
        if (binding.second)
            SetParameter(binding.first, binding.second->GetValue());
    }
}

void cl_ParticleEffect::LoadFromXml(const TiXmlElement& element, Ogre::SceneManager* sceneManager)
{
    m_sceneManager = sceneManager;
    particles::ParticleSystemManager* library = particles::ParticleSystemManager::getSingletonPtr();
    if (!element.FirstChildElement("template"))
    {
        LOG_ERROR("The particle effect '%s' names no template; it shows nothing.", GetId().c_str());
    }
    else if (!library || !sceneManager)
    {
        LOG_ERROR("The particle effect '%s' has no particle library or scene to live in; it shows nothing.",
                  GetId().c_str());
    }
    else
    {
        const std::string templateName = ChildText(element, "template");
        // The library names the effect and the template when it has no such template.
        m_particleSystem = library->createParticleSystem(GetId(), templateName, sceneManager);
    }
    if (m_particleSystem)
    {
        const uint32_t flags = (IsTrueAttribute(element, "reflection") ? 2u : 0u) |
                               (IsTrueAttribute(element, "refraction") ? 4u : 0u);
        m_particleSystem->setVisibilityFlags(flags | 1u);
        m_startDelay = -1.0f;
        AttachToNode(FindEffectParent(*sceneManager, element));
        const char* enabled = element.Attribute("enabled");
        if (enabled && std::string(enabled) != "true")
        {
            m_particleSystem->start();
            SetActive(false);
            m_particleSystem->stop();
        }
        else
        {
            m_startDelay = START_DELAY;
        }
    }
    cl_BaseEffect::LoadFromXml(element, sceneManager);
}

void cl_ParticleEffect::Unload()
{
    if (!m_particleSystem)
        return;
    m_particleSystem->stop();
    AttachToNode(nullptr);
    if (particles::ParticleSystemManager* library = particles::ParticleSystemManager::getSingletonPtr())
        library->destroyParticleSystem(m_particleSystem, m_sceneManager);
    m_particleSystem = nullptr;
    m_sceneManager = nullptr;
}

void cl_ParticleEffect::SetEnabled(bool enabled)
{
    if (!m_particleSystem)
        return;
    if (enabled)
        m_particleSystem->start();
    else
        m_particleSystem->stopFade();
}

void cl_ParticleEffect::Restart()
{
    if (m_particleSystem)
        m_particleSystem->start();
}
