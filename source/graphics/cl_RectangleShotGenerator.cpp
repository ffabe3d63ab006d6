#include "graphics/cl_RectangleShotGenerator.h"

#include "common/LogCall.h"
#include "common/XmlNumbers.h"
#include "graphics/cl_Backdrop.h"
#include "graphics/cl_Camera.h"

#include <OgreRay.h>
#include <OgreSceneNode.h>

cl_RectangleShotGenerator::cl_RectangleShotGenerator(const TiXmlElement& element)
    : cl_TrackingShotGenerator(element)
{
    m_targetName = "focusNode";
    const float zoom = NumberAttribute(element, "zoom", 1.0f);
    if (zoom > 0.0f)
        m_zoom = zoom;
    else
        LOG_WARNING("The shot generator '%s' cannot zoom by %f; it zooms by 1.", m_name.c_str(),
                    static_cast<double>(zoom));
}

cl_Shot cl_RectangleShotGenerator::GenerateShot()
{
    const Ogre::Vector3 focus = GetFocusPosition();
    const cl_Backdrop* backdrop = cl_Camera::ActiveBackdrop();
    if (!backdrop)
        return cl_Shot();
    const Ogre::Vector3& eye = backdrop->GetEyePosition();
    const Ogre::Vector3 centre = backdrop->GetPlaneNode()->_getDerivedPosition();
    const Ogre::Vector3 offset = backdrop->RayToBackdropPlane(Ogre::Ray(eye, focus - eye)) - centre;
    return cl_Shot(centre + offset * (1.0f / m_zoom), m_zoom, 0.0f, "current");
}
