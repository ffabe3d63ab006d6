#include "graphics/cl_Curtain.h"

#include "common/cl_GameTime.h"

#include <OgreMaterialManager.h>
#include <OgreOverlay.h>
#include <OgreOverlayContainer.h>
#include <OgreOverlayManager.h>
#include <OgrePass.h>
#include <OgreTechnique.h>
#include <OgreTextureUnitState.h>

#include <algorithm>

namespace
{
const char* const MATERIAL = "Material/Fade";
const char* const OVERLAY = "Overlay/Fade";
const char* const PANEL = "FadePanel";
// In front of the in-game menu and the main menu.
const unsigned short Z_ORDER = 650;
const float MAX_STEP = 0.1f;
const float FIRST_STEP = 0.001f;
} // namespace

cl_Curtain::cl_Curtain(ICurtainListener* listener) : m_frames(cl_GameTime::GetInstance(), this, "default", 0)
{
    if (listener)
        m_listeners.push_back(listener);
}

cl_Curtain::~cl_Curtain()
{
    Ogre::OverlayManager* overlays = Ogre::OverlayManager::getSingletonPtr();
    if (!m_overlay || !overlays)
        return;
    if (overlays->hasOverlayElement(PANEL))
        overlays->destroyOverlayElement(PANEL);
    overlays->destroy(m_overlay);
}

void cl_Curtain::Create()
{
    if (m_overlay)
        return;
    m_clear = true;
    m_alpha = 0.0f;
    Ogre::OverlayManager* overlays = Ogre::OverlayManager::getSingletonPtr();
    if (!overlays || !Ogre::MaterialManager::getSingletonPtr())
        return;
    Ogre::MaterialPtr material = Ogre::MaterialManager::getSingleton().getByName(MATERIAL);
    if (!material)
        material = Ogre::MaterialManager::getSingleton().create(MATERIAL, "General");
    Ogre::Pass* pass = material->getTechnique(0)->getPass(0);
    pass->setSceneBlending(Ogre::SBT_TRANSPARENT_ALPHA);
    pass->setLightingEnabled(false);
    pass->setDepthCheckEnabled(false);
    pass->setDepthWriteEnabled(false);
    m_textureUnit = pass->createTextureUnitState();
    m_textureUnit->setColourOperationEx(Ogre::LBX_SOURCE1, Ogre::LBS_MANUAL, Ogre::LBS_CURRENT,
                                        Ogre::ColourValue::Black, Ogre::ColourValue::White, 0.0f);
    m_overlay = overlays->create(OVERLAY);
    m_overlay->setZOrder(Z_ORDER);
    auto* panel = static_cast<Ogre::OverlayContainer*>(overlays->createOverlayElement("Panel", PANEL));
    panel->setMetricsMode(Ogre::GMM_RELATIVE);
    panel->setDimensions(1.0f, 1.0f);
    panel->setMaterialName(MATERIAL);
    m_overlay->add2D(panel);
    m_overlay->show();
    m_overlayVisible = true;
    SetAlpha(0.0f);
}

void cl_Curtain::RemoveListener(const ICurtainListener* listener)
{
    m_listeners.erase(std::remove(m_listeners.begin(), m_listeners.end(), listener), m_listeners.end());
}

void cl_Curtain::FadeToBlack(float duration)
{
    Fade(true, duration);
}

void cl_Curtain::FadeFromBlack(float duration)
{
    Fade(false, duration);
}

void cl_Curtain::Fade(bool toBlack, float duration)
{
    m_remaining = -1.0f;
    if (duration <= 0.0f)
    {
        m_clear = !toBlack;
        SetAlpha(toBlack ? 1.0f : 0.0f);
        Notify();
        return;
    }
    m_clear = toBlack;
    SetAlpha(toBlack ? 0.0f : 1.0f);
    m_remaining = duration;
    m_duration = duration;
}

void cl_Curtain::EndFade(bool black)
{
    m_remaining = -1.0f;
    m_clear = !black;
    SetAlpha(black ? 1.0f : 0.0f);
}

void cl_Curtain::Update(float dt)
{
    dt = std::min(dt, MAX_STEP);
    if (m_remaining > 0.0f)
    {
        const float step = m_remaining == m_duration ? FIRST_STEP : dt;
        m_remaining = std::max(0.0f, m_remaining - step);
        const float value = m_remaining / m_duration;
        SetAlpha(m_clear ? 1.0f - value : value);
    }
    else if (m_remaining == 0.0f)
    {
        m_remaining = -1.0f;
        m_clear = !m_clear;
        Notify();
    }
    if (m_shown && !m_overlayVisible)
    {
        if (m_overlay)
            m_overlay->show();
        SetAlpha(m_clear ? 0.0f : 1.0f);
    }
    else if (!m_shown && m_overlayVisible && m_overlay)
        m_overlay->hide();
    m_overlayVisible = m_shown;
}

void cl_Curtain::SetAlpha(float alpha)
{
    m_alpha = alpha;
    if (m_textureUnit)
        m_textureUnit->setAlphaOperation(Ogre::LBX_SOURCE1, Ogre::LBS_MANUAL, Ogre::LBS_CURRENT, alpha, 1.0f,
                                         0.0f);
}

void cl_Curtain::Notify()
{
    const std::vector<ICurtainListener*> listeners = m_listeners;
    for (ICurtainListener* listener : listeners)
    {
        if (m_clear)
            listener->NotifyFadedIn();
        else
            listener->NotifyFadedToBlack();
    }
}
