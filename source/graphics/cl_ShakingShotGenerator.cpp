#include "graphics/cl_ShakingShotGenerator.h"

#include "common/XmlNumbers.h"
#include "common/cl_ValueSourceManager.h"
#include "graphics/cl_Backdrop.h"
#include "graphics/cl_Camera.h"

namespace
{
float ValueOf(const std::string& source)
{
    const cl_ValueSourceManager* sources = cl_ValueSourceManager::GetInstance();
    return sources ? sources->GetValue(source) : 0.0f;
}
} // namespace

cl_ShakingShotGenerator::cl_ShakingShotGenerator(const TiXmlElement& element)
    : m_twoDimensional(TextAttribute(element, "type", "") == "shake2d"),
      m_sourceShot(TextAttribute(element, "srcshot", "")), m_xSource(TextAttribute(element, "xshakesrc", "")),
      m_ySource(TextAttribute(element, "yshakesrc", "")), m_zSource(TextAttribute(element, "zshakesrc", ""))
{
}

cl_Shot cl_ShakingShotGenerator::GenerateShot()
{
    cl_Camera* camera = cl_Camera::GetInstance();
    cl_Shot shot = camera ? camera->GetShot(m_sourceShot) : cl_Shot();
    const float x = ValueOf(m_xSource);
    const float y = ValueOf(m_ySource);
    if (!m_twoDimensional)
    {
        shot.position += Ogre::Vector3(x, y, ValueOf(m_zSource));
        return shot;
    }
    if (const cl_Backdrop* backdrop = cl_Camera::ActiveBackdrop())
    {
        const Ogre::Vector2 point = backdrop->WorldToBackdrop(shot.position) + Ogre::Vector2(x, y);
        shot.position = backdrop->BackdropToWorld(point.x, point.y);
    }
    return shot;
}
