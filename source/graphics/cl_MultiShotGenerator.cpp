#include "graphics/cl_MultiShotGenerator.h"

#include "common/LogCall.h"
#include "common/XmlNumbers.h"
#include "graphics/cl_Camera.h"

#include <tinyxml.h>

cl_MultiShotGenerator::cl_MultiShotGenerator(const TiXmlElement& element) : cl_TrackingShotGenerator(element)
{
    for (const TiXmlElement* shot = element.FirstChildElement("shot"); shot;
         shot = shot->NextSiblingElement("shot"))
    {
        const std::string* name = shot->Attribute(std::string("name"));
        if (!name)
        {
            LOG_WARNING("The shot generator '%s' skips a shot without name.", m_name.c_str());
            continue;
        }
        m_weights[*name] = NumberAttribute(*shot, "weight", 1.0f);
    }
}

cl_Shot cl_MultiShotGenerator::GenerateShot()
{
    cl_Shot result;
    cl_Camera* camera = cl_Camera::GetInstance();
    if (!camera)
        return result;
    float best = -1.0f;
    for (const auto& entry : m_weights)
    {
        const cl_Shot shot = camera->GetShot(entry.first);
        const Ogre::Vector3 focus = camera->ProjectOnBackdrop(GetFocusPosition());
        const Ogre::Vector3 place = camera->ProjectOnBackdrop(shot.position);
        const float score = entry.second / (focus.distance(place) + 1.0f);
        if (best < 0.0f || score > best)
        {
            best = score;
            result = shot;
        }
    }
    return result;
}
