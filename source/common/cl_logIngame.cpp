#include "common/cl_logIngame.h"

#include "common/StringHelpers.h"
#include "common/cl_GameTime.h"
#include "common/cl_GameTimeRegistration.h"
#include "common/cl_Logger.h"
#include "gui/CaptionText.h"
#include "gui/OverlayResourceCheck.h"
#include "gui/cl_TarqTextAreaOverlayElement.h"

#include <OgreStringConverter.h>
#include <Overlay/OgreOverlay.h>
#include <Overlay/OgreOverlayManager.h>
#include <Overlay/OgrePanelOverlayElement.h>

namespace
{
constexpr float CHAR_HEIGHT = 0.0275f;
constexpr float MAXIMUM_HEIGHT = 0.75f;
constexpr float LIFETIME = 5.0f;
const char* const FONT = "FormalOutline";
// Above the in-game menu, its bars and markers, below the pointer.
constexpr unsigned short Z_ORDER = 645;
} // namespace

cl_logIngame::cl_logIngame() = default;

cl_logIngame::~cl_logIngame()
{
    Disable();
}

void cl_logIngame::Enable(uint32_t filter)
{
    m_filter = filter;
    Ogre::OverlayManager* overlays = Ogre::OverlayManager::getSingletonPtr();
    if (m_enabled || !overlays)
        return;
    m_enabled = true;
    m_resources = std::make_unique<OverlayResourceCheck>();
    m_overlay = overlays->create("LogIngame");
    m_overlay->setZOrder(Z_ORDER);
    m_container = static_cast<Ogre::PanelOverlayElement*>(
        overlays->createOverlayElement("Panel", "LogIngame_container"));
    m_container->setMetricsMode(Ogre::GMM_RELATIVE);
    m_container->setDimensions(1.0f, 1.0f);
    m_container->setTransparent(true);
    m_overlay->add2D(m_container);
    m_overlay->show();
    m_gameTime = std::make_unique<cl_GameTimeRegistration>(cl_GameTime::GetInstance(), this, "gui", 0);
    if (cl_Logger* logger = cl_Logger::GetInstance())
        logger->AddListener(this);
}

void cl_logIngame::Disable()
{
    if (!m_enabled)
        return;
    m_gameTime.reset();
    if (cl_Logger* logger = cl_Logger::GetInstance())
        logger->RemoveListener(this);
    m_enabled = false;
    while (!m_lines.empty())
        DestroyOldest();
    Ogre::OverlayManager& overlays = Ogre::OverlayManager::getSingleton();
    overlays.destroyOverlayElement(m_container);
    m_overlay->clear();
    overlays.destroy(m_overlay);
    m_container = nullptr;
    m_overlay = nullptr;
    m_resources.reset();
}

bool cl_logIngame::OnLog(const std::string& text, int level)
{
    if (m_enabled && !m_makingLine && (m_filter & static_cast<uint32_t>(level)) != 0)
        AddLine(text);
    return true;
}

void cl_logIngame::AddLine(const std::string& text)
{
    m_makingLine = true;
    const std::string name = Format("LogIngame_msg%02i", m_counter);
    Ogre::OverlayManager& overlays = Ogre::OverlayManager::getSingleton();
    if (!overlays.hasOverlayElement(name))
    {
        auto* element =
            static_cast<cl_TarqTextAreaOverlayElement*>(overlays.createOverlayElement("TarqTextArea", name));
        element->setMetricsMode(Ogre::GMM_RELATIVE);
        if (m_resources->HasFont(FONT, "the on-screen log"))
            element->setParameter("font_name", FONT);
        element->setParameter("char_height", Ogre::StringConverter::toString(CHAR_HEIGHT));
        element->setParameter("spacing_offset", Ogre::StringConverter::toString(-0.002f));
        element->setParameter("line_spacing", Ogre::StringConverter::toString(1.0f));
        element->setColour(Ogre::ColourValue::White);
        element->setCaption(CaptionFromUtf8(text));
        element->setDimensions(element->GetTextWidth(), CHAR_HEIGHT);
        m_container->addChild(element);
        m_lines.push_back({0.0f, element});
        ++m_counter;
        Layout();
    }
    m_makingLine = false;
}

void cl_logIngame::DestroyOldest()
{
    cl_TarqTextAreaOverlayElement* element = m_lines.front().element;
    m_lines.pop_front();
    m_container->removeChild(element->getName());
    Ogre::OverlayManager::getSingleton().destroyOverlayElement(element);
}

void cl_logIngame::Layout()
{
    for (;;)
    {
        float y = 0.0f;
        bool tooTall = false;
        for (const Line& line : m_lines)
        {
            line.element->setPosition(0.0f, y);
            line.element->UpdateLayout();
            y += line.element->getHeight();
            if (y >= MAXIMUM_HEIGHT)
            {
                tooTall = true;
                break;
            }
        }
        if (!tooTall)
            return;
        DestroyOldest();
    }
}

void cl_logIngame::Update(float dt)
{
    bool destroyed = false;
    for (Line& line : m_lines)
        line.age += dt;
    // The oldest lines come first, and they age alike.
    while (!m_lines.empty() && m_lines.front().age > LIFETIME)
    {
        DestroyOldest();
        destroyed = true;
    }
    if (destroyed)
        Layout();
}
