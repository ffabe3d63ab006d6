#include "gui/cl_GameLoadingScreen.h"

#include "common/LogCall.h"

#include <OgreException.h>
#include <Overlay/OgreOverlay.h>
#include <Overlay/OgreOverlayContainer.h>
#include <Overlay/OgreOverlayManager.h>

namespace
{
const char* const OVERLAY = "GameLoadScreen";
const char* const BAR = "GameLoadScreen/Screen/Bar/Progress";
} // namespace

cl_GameLoadingScreen::~cl_GameLoadingScreen()
{
    OnEnd();
}

void cl_GameLoadingScreen::OnStart()
{
    Ogre::OverlayManager& overlays = Ogre::OverlayManager::getSingleton();
    try
    {
        m_overlay = overlays.create(OVERLAY);
    }
    catch (const Ogre::Exception& exception)
    {
        LOG_ERROR("Cannot create loading overlay: %s", exception.getDescription().c_str());
        return;
    }
    m_overlay->setZOrder(510);
    m_overlay->show();
    auto* bar = static_cast<Ogre::OverlayContainer*>(overlays.createOverlayElement("Panel", BAR));
    m_overlay->add2D(bar);
    bar->setMetricsMode(Ogre::GMM_RELATIVE);
    bar->setHeight(0.05f);
    bar->setTop(0.9f);
    bar->setLeft(0.1f);
    bar->setMaterialName("BaseWhiteNoLighting");
    bar->setWidth(0.0f);
    m_bar = bar;
}

void cl_GameLoadingScreen::OnProgress()
{
    if (m_bar)
        m_bar->setWidth(FULL_WIDTH * GetProgress());
}

void cl_GameLoadingScreen::OnEnd()
{
    if (!m_overlay)
        return;
    Ogre::OverlayManager& overlays = Ogre::OverlayManager::getSingleton();
    m_overlay->hide();
    overlays.destroyOverlayElement(m_bar);
    overlays.destroy(m_overlay);
    m_overlay = nullptr;
    m_bar = nullptr;
}
