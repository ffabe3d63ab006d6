#include "graphics/cl_SplineShotGenerator.h"

#include "common/LogCall.h"
#include "common/XmlNumbers.h"
#include "gamecomponents/cl_GameComponents.h"
#include "graphics/cl_Camera.h"
#include "graphics/cl_Scene.h"

#include <OgreSceneNode.h>
#include <tinyxml.h>

namespace
{
// The weight of a segment at distance d is this over d².
const double NEARNESS = 1000.0;
} // namespace

cl_SplineShotGenerator::cl_SplineShotGenerator(const TiXmlElement& element)
    : cl_TrackingShotGenerator(element)
{
    const cl_Scene* scene = cl_Camera::CurrentScene();
    for (const TiXmlElement* point = element.FirstChildElement("point"); point;
         point = point->NextSiblingElement("point"))
    {
        const std::string helper = TextAttribute(*point, "helper", "");
        const Ogre::SceneNode* node = scene ? scene->GetSceneNode(helper) : nullptr;
        if (!node)
        {
            LOG_WARNING("The shot generator '%s' skips its point at '%s': the scene has no such node.",
                        m_name.c_str(), helper.c_str());
            continue;
        }
        SplinePoint entry;
        entry.position = node->_getDerivedPosition();
        entry.shot = TextAttribute(*point, "shot", "");
        entry.threshold = NumberAttribute(*point, "threshold", 0.0f);
        entry.radius = NumberAttribute(*point, "radius", 0.0f);
        m_points.push_back(entry);
    }
}

cl_Shot cl_SplineShotGenerator::GenerateShot()
{
    const cl_GameComponents* hub = cl_GameComponents::GetInstance();
    if (!hub || !hub->GetCurrentCharacter() || m_points.size() < 2)
        return cl_Shot();
    UpdateSegments(GetFocusPosition());
    if (!UpdateWeights())
        return cl_Shot();
    cl_Shot result(Ogre::Vector3::ZERO, 0.0f, 0.0f, "current");
    for (size_t segment = 0; segment + 1 < m_points.size(); ++segment)
    {
        const SplinePoint& point = m_points[segment];
        result.position += point.weight * point.segmentShot.position;
        result.zoom += point.weight * point.segmentShot.zoom;
    }
    return result;
}

void cl_SplineShotGenerator::UpdateSegments(const Ogre::Vector3& focus)
{
    cl_Camera* camera = cl_Camera::GetInstance();
    for (size_t segment = 0; segment + 1 < m_points.size(); ++segment)
    {
        SplinePoint& a = m_points[segment];
        const SplinePoint& b = m_points[segment + 1];
        const Ogre::Vector3 along = b.position - a.position;
        const float length = along.length();
        const float s = along.normalisedCopy().dotProduct(focus - a.position);
        const float inner = length - a.radius - b.radius;
        float t = 0.0f;
        if (s < a.radius)
            t = 0.0f;
        else if (s > length - b.radius)
            t = 1.0f;
        else if (inner > 0.0f)
            t = (s - a.radius) / inner;
        a.segmentShot = camera
                            ? cl_Camera::InterpolateShots(camera->GetShot(a.shot), camera->GetShot(b.shot), t)
                            : cl_Shot();
        a.segmentThreshold = a.threshold + t * (b.threshold - a.threshold);
        a.squaredDistance = (focus - (a.position + along * t)).squaredLength();
    }
}

bool cl_SplineShotGenerator::UpdateWeights()
{
    const size_t segments = m_points.size() - 1;
    double sum = 0.0;
    for (size_t segment = 0; segment < segments; ++segment)
    {
        if (m_points[segment].squaredDistance <= 0.0f)
            return false;
        sum += NEARNESS / m_points[segment].squaredDistance;
    }
    double thresholdSum = 0.0;
    for (size_t segment = 0; segment < segments; ++segment)
    {
        SplinePoint& point = m_points[segment];
        const double threshold = point.segmentThreshold;
        const double weight = NEARNESS / point.squaredDistance / sum;
        double kept = 0.0;
        if (weight >= threshold)
            // A threshold of 1 is reached only by the whole weight.
            kept = threshold < 1.0 ? (weight - threshold) / (1.0 - threshold) : 1.0;
        point.weight = static_cast<float>(kept);
        thresholdSum += kept;
    }
    if (!(thresholdSum > 0.0))
        return false;
    for (size_t segment = 0; segment < segments; ++segment)
        m_points[segment].weight = static_cast<float>(m_points[segment].weight / thresholdSum);
    return true;
}
