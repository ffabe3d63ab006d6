#include "gui/cl_PartyGui.h"

#include "assets/cl_GameState.h"
#include "common/LogCall.h"
#include "gui/ChildElementHit.h"
#include "gui/OverlayViewport.h"

#include <OgreMaterialManager.h>
#include <OgrePass.h>
#include <OgreTechnique.h>
#include <Overlay/OgreOverlay.h>
#include <Overlay/OgreOverlayContainer.h>
#include <Overlay/OgreOverlayManager.h>

#include <tinyxml.h>

#include <cstddef>

namespace
{
constexpr float PORTRAIT_WIDTH = 0.0625f;

Ogre::OverlayManager& Overlays()
{
    return Ogre::OverlayManager::getSingleton();
}

cl_Party* Party()
{
    cl_GameComponents* hub = cl_GameComponents::GetInstance();
    return hub ? &hub->GetParty() : nullptr;
}
} // namespace

cl_PartyGui::~cl_PartyGui()
{
    Destroy();
}

void cl_PartyGui::Init(Ogre::Overlay* overlay)
{
    if (m_container)
        return;
    m_overlay = overlay;
    m_container =
        static_cast<Ogre::OverlayContainer*>(Overlays().createOverlayElement("Panel", "_party_container"));
    m_container->setMetricsMode(Ogre::GMM_RELATIVE);
    m_container->setDimensions(m_width, m_height);
    m_container->setPosition(m_x, m_y);
    m_container->show();
    m_shown = true;
    if (cl_GameComponents* hub = cl_GameComponents::GetInstance())
    {
        hub->AddListener(this);
        hub->GetParty().AddListener(this);
    }
    Rebuild();
    m_overlay->add2D(m_container);
}

void cl_PartyGui::Destroy()
{
    if (!m_container)
        return;
    DestroyPortraits();
    if (cl_GameComponents* hub = cl_GameComponents::GetInstance())
    {
        hub->RemoveListener(this);
        hub->GetParty().RemoveListener(this);
    }
    m_overlay->remove2D(m_container);
    Overlays().destroyOverlayElement(m_container);
    m_container = nullptr;
    m_overlay = nullptr;
}

void cl_PartyGui::Hide()
{
    m_shown = false;
    if (m_container)
        m_container->hide();
}

void cl_PartyGui::SetSize(float width, float height)
{
    m_width = width;
    m_height = height;
    if (m_container)
        m_container->setDimensions(width, height);
}

void cl_PartyGui::SetPosition(float x, float y)
{
    m_x = x;
    m_y = y;
    if (m_container)
        m_container->setPosition(x, y);
}

std::string cl_PartyGui::GetIdAt(float x, float y)
{
    if (!m_shown)
        return std::string();
    std::string found;
    bool changed = false;
    for (PartyPortrait& portrait : m_portraits)
    {
        if (ChildElementContains(portrait.panel, m_x, m_y, x, y))
        {
            if (!portrait.hovered && found.empty())
            {
                portrait.hovered = true;
                changed = true;
            }
            found = portrait.characterId;
        }
        else if (portrait.hovered)
        {
            portrait.hovered = false;
            changed = true;
        }
    }
    if (changed)
        Layout();
    return found;
}

void cl_PartyGui::Layout()
{
    if (!m_container)
        return;
    const float height = PORTRAIT_WIDTH * OverlayViewport::Current().Aspect();
    float top = 0.0f;
    for (PartyPortrait& portrait : m_portraits)
    {
        portrait.active = portrait.characterId == m_activeCharacter;
        portrait.panel->setPosition(0.0f, top);
        portrait.panel->setMaterialName(
            GetPortraitMaterialName(portrait.characterId, portrait.tag, portrait.active, portrait.hovered),
            Ogre::ResourceGroupManager::AUTODETECT_RESOURCE_GROUP_NAME);
        portrait.panel->setDimensions(PORTRAIT_WIDTH, height);
        top += height;
    }
    const bool shown = m_portraits.size() > 1;
    if (shown && !m_shown)
        m_container->show();
    else if (!shown && m_shown)
        m_container->hide();
    m_shown = shown;
}

void cl_PartyGui::Rebuild()
{
    DestroyPortraits();
    const cl_Party* party = Party();
    const TiXmlElement* members = party ? party->GetPartyElement() : nullptr;
    if (!members || !m_container)
        return;
    for (const TiXmlElement* member = members->FirstChildElement("member"); member;
         member = member->NextSiblingElement("member"))
    {
        const char* id = member->Attribute("characterid");
        if (id && *id)
            AddPortrait(id);
    }
}

size_t cl_PartyGui::IndexOf(const std::string& characterId) const
{
    size_t index = 0;
    while (index < m_portraits.size() && m_portraits[index].characterId != characterId)
        ++index;
    return index;
}

const PartyPortrait* cl_PartyGui::FindPortrait(const std::string& characterId) const
{
    const size_t index = IndexOf(characterId);
    return index < m_portraits.size() ? &m_portraits[index] : nullptr;
}

std::string cl_PartyGui::GetPortraitMaterialName(const std::string& characterId, const std::string& tag,
                                                 bool active, bool hovered)
{
    std::string name = "icon_" + characterId;
    if (!tag.empty())
        name += "_" + tag;
    if (active)
        name += "_active";
    else if (hovered)
        name += "_selected";
    Ogre::MaterialManager& materials = Ogre::MaterialManager::getSingleton();
    if (materials.resourceExists(name, Ogre::ResourceGroupManager::AUTODETECT_RESOURCE_GROUP_NAME))
        return name;
    const Ogre::MaterialPtr material = materials.create(name, "GAMEDATA");
    material->setLightingEnabled(false);
    material->setSceneBlending(Ogre::SBT_TRANSPARENT_ALPHA);
    material->getTechnique(0)->getPass(0)->createTextureUnitState(name + ".tga");
    return name;
}

void cl_PartyGui::AddPortrait(const std::string& characterId)
{
    if (!m_container)
        return;
    if (FindPortrait(characterId))
    {
        LOG_ERROR("The party lists '%s' more than once; it shows one portrait.", characterId.c_str());
        return;
    }
    if (Overlays().hasOverlayElement(characterId))
    {
        LOG_ERROR("The party member '%s' gets no portrait: an overlay element has its name.",
                  characterId.c_str());
        return;
    }
    const cl_Party* party = Party();
    PartyPortrait portrait;
    portrait.characterId = characterId;
    portrait.tag = party ? party->GetMemberTag(characterId) : std::string();
    portrait.panel = Overlays().createOverlayElement("Panel", characterId);
    portrait.panel->setMetricsMode(Ogre::GMM_RELATIVE);
    portrait.panel->setPosition(0.0f, 0.0f);
    portrait.panel->setDimensions(0.0f, 0.0f);
    portrait.panel->setMaterialName(GetPortraitMaterialName(characterId, portrait.tag, false, false),
                                    Ogre::ResourceGroupManager::AUTODETECT_RESOURCE_GROUP_NAME);
    portrait.panel->show();
    m_container->addChild(portrait.panel);
    m_portraits.push_back(portrait);
}

void cl_PartyGui::RemovePortrait(const std::string& characterId)
{
    const size_t index = IndexOf(characterId);
    if (index == m_portraits.size())
        return;
    m_container->removeChild(characterId);
    Overlays().destroyOverlayElement(m_portraits[index].panel);
    m_portraits.erase(m_portraits.begin() + static_cast<std::ptrdiff_t>(index));
}

void cl_PartyGui::DestroyPortraits()
{
    while (!m_portraits.empty())
        RemovePortrait(m_portraits.front().characterId);
}

void cl_PartyGui::OnMemberAdded(const std::string& characterId)
{
    AddPortrait(characterId);
    Layout();
}

void cl_PartyGui::OnMemberRemoved(const std::string& characterId)
{
    RemovePortrait(characterId);
    Layout();
}

void cl_PartyGui::OnPartyChanged()
{
    Rebuild();
    const cl_GameState* gameState = cl_GameState::GetInstance();
    m_activeCharacter = gameState ? gameState->GetCurrentCharacterId() : std::string();
    Layout();
}

void cl_PartyGui::OnActiveCharacterChanged(const std::string& characterId)
{
    m_activeCharacter = characterId;
    Layout();
}
