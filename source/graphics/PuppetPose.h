#pragma once

#include "graphics/LinearFade.h"

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

class TiXmlElement;
class cl_Puppet;

namespace Ogre
{
class Entity;
class VertexPoseKeyFrame;
} // namespace Ogre

// A vertex pose of a puppet (a blink, a mouth shape): its weight, faded over time, is the influence of
// the pose in the poses animation of every mesh of the puppet (or of one slave object) that has a pose of
// that name.
class PuppetPose
{
public:
    // Adds the references the "pose" element describes: the pose "posename" of the "slave" object's
    // entity, or without "slave" of every submesh entity. A second call adds further references.
    void FromXml(const TiXmlElement& element, cl_Puppet& puppet);
    // Runs the fade, then sets every reference's influence to weight + base influence.
    void Update(float dt);

    // time > 0 fades from the current weight to target over that time; otherwise the weight jumps there
    // and a fade stops.
    void SetWeight(float target, float time);
    float GetWeight() const { return m_weight; }
    // The weight a running fade goes to; the weight otherwise.
    float GetTarget() const { return m_fade.GetTarget(); }
    float GetBaseInfluence() const { return m_baseInfluence; }
    void SetBaseInfluence(float influence) { m_baseInfluence = influence; }
    std::size_t GetReferenceCount() const { return m_references.size(); }

private:
    void AddReferences(Ogre::Entity* entity, const char* poseName);

    std::vector<std::pair<Ogre::VertexPoseKeyFrame*, uint16_t>> m_references;
    float m_weight = 0.0f;
    float m_baseInfluence = 0.0f;
    LinearFade m_fade;
};
