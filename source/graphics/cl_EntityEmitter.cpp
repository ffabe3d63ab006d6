#include "graphics/cl_EntityEmitter.h"

#include "common/LogCall.h"
#include "common/MathHelpers.h"
#include "common/MeshHelpers.h"
#include "common/StringHelpers.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_SceneObject.h"
#include "platform/particles/Particle.h"
#include "platform/particles/ParticleSystem.h"
#include "platform/particles/ParticleTechnique.h"

#include <OgreEntity.h>
#include <OgreMath.h>
#include <OgreNode.h>
#include <OgreSceneManager.h>

#include <algorithm>

const char* const cl_EntityEmitter::TYPE = "Entity";

void cl_EntityEmitter::SetEntityName(const std::string& name)
{
    m_entityName = name;
    m_rebuild = true;
    m_reportedMissing = false;
}

void cl_EntityEmitter::copyAttributesTo(particles::ParticleEmitter& emitter) const
{
    particles::ParticleEmitter::copyAttributesTo(emitter);
    if (auto* entityEmitter = dynamic_cast<cl_EntityEmitter*>(&emitter))
    {
        entityEmitter->SetEntityName(m_entityName);
        entityEmitter->m_scale = m_scale;
        // Also the distribution: a system made from a template emits as the template says.
        entityEmitter->m_distribution = m_distribution;
    }
}

void cl_EntityEmitter::_prepare(particles::ParticleTechnique& technique)
{
    particles::ParticleEmitter::_prepare(technique);
    m_rebuild = true;
}

void cl_EntityEmitter::_preProcessParticles(particles::ParticleTechnique&, float)
{
    m_rebuild = true;
}

Ogre::Entity* cl_EntityEmitter::FindEntity()
{
    const particles::ParticleTechnique* technique = getParentTechnique();
    const particles::ParticleSystem* system = technique ? technique->getParentSystem() : nullptr;
    Ogre::SceneManager* sceneManager = system ? system->getSceneManager() : nullptr;
    Ogre::Entity* entity = nullptr;
    if (sceneManager && !m_entityName.empty() && sceneManager->hasEntity(m_entityName))
    {
        entity = sceneManager->getEntity(m_entityName);
    }
    else
    {
        std::string subMesh;
        const std::string objectName = SplitAtFirst(m_entityName, ".", subMesh);
        const cl_SceneObject* object = cl_SceneObject::ResolveByName(objectName);
        const cl_ControlledPuppet* puppet = object ? object->GetPuppet() : nullptr;
        entity = puppet ? puppet->GetSubMesh(subMesh).entity : nullptr;
    }
    if (!entity && !m_reportedMissing)
        LOG_WARNING("The particle emitter '%s' finds no entity '%s' to emit from; it emits nothing.",
                    getName().c_str(), m_entityName.c_str());
    m_reportedMissing = !entity;
    return entity;
}

void cl_EntityEmitter::RebuildTriangles()
{
    m_rebuild = false;
    m_triangles.clear();
    Ogre::Entity* entity = FindEntity();
    if (!entity)
        return;
    const Ogre::Node* node = entity->getParentNode();
    GetMeshInformation(entity, m_vertices, m_indices,
                       node ? node->_getDerivedPosition() : Ogre::Vector3::ZERO,
                       node ? node->_getDerivedOrientation() : Ogre::Quaternion::IDENTITY,
                       node ? node->_getDerivedScale() : Ogre::Vector3::UNIT_SCALE);
    for (size_t first = 0; first + 2 < m_indices.size(); first += 3)
    {
        if (m_indices[first] >= m_vertices.size() || m_indices[first + 1] >= m_vertices.size() ||
            m_indices[first + 2] >= m_vertices.size())
            continue;
        Triangle triangle;
        for (int corner = 0; corner < 3; ++corner)
            triangle.corners[corner] = m_vertices[m_indices[first + corner]];
        const Ogre::Vector3* c = triangle.corners;
        const float a = c[0].distance(c[1]);
        const float b = c[1].distance(c[2]);
        const float d = c[2].distance(c[0]);
        const float s = 0.5f * (a + b + d);
        triangle.areaKey = s * (s - a) * (s - b) * (s - d);
        triangle.faceNormal = (c[1] - c[0]).crossProduct(c[2] - c[0]).normalisedCopy();
        for (int edge = 0; edge < 3; ++edge)
            triangle.edgeNormals[edge] = c[edge].crossProduct(c[(edge + 1) % 3]).normalisedCopy();
        m_triangles.push_back(triangle);
    }
    if (m_distribution == DISTRIBUTION_HOMOGENEOUS)
        std::sort(m_triangles.begin(), m_triangles.end(),
                  [](const Triangle& x, const Triangle& y) { return x.areaKey > y.areaKey; });
    else if (m_distribution == DISTRIBUTION_HETEROGENEOUS_1)
        std::sort(m_triangles.begin(), m_triangles.end(),
                  [](const Triangle& x, const Triangle& y) { return x.areaKey < y.areaKey; });
}

size_t cl_EntityEmitter::_calculateRequestedParticles(float dt)
{
    const size_t requested = particles::ParticleEmitter::_calculateRequestedParticles(dt);
    if (requested == 0)
        return 0;
    if (m_rebuild)
        RebuildTriangles();
    return m_triangles.empty() ? 0 : requested;
}

size_t cl_EntityEmitter::ChooseTriangle() const
{
    const float last = static_cast<float>(m_triangles.size() - 1);
    const bool bySize =
        m_distribution == DISTRIBUTION_HOMOGENEOUS || m_distribution == DISTRIBUTION_HETEROGENEOUS_1;
    const float drawn = bySize ? RandomGaussian(last, 4.0f) : Ogre::Math::RangeRandom(0.0f, last);
    return std::min(static_cast<size_t>(drawn), m_triangles.size() - 1);
}

void cl_EntityEmitter::_initParticlePosition(particles::Particle& particle)
{
    if (m_rebuild)
        RebuildTriangles();
    m_directionSet = false;
    if (m_triangles.empty())
    {
        particle.position = particle.originalPosition = getDerivedPosition();
        return;
    }
    const Triangle& triangle = m_triangles[ChooseTriangle()];
    const Ogre::Vector3* c = triangle.corners;
    Ogre::Vector3 point;
    Ogre::Vector3 direction;
    if (m_distribution == DISTRIBUTION_VERTEX)
    {
        const float k = Ogre::Math::RangeRandom(0.0f, 3.0f);
        point = k < 1.0f ? c[0] : k < 2.0f ? c[1] : c[2];
        // Vertices carry no normals of their own here: the triangle's stands for them.
        direction = triangle.faceNormal;
    }
    else if (m_distribution == DISTRIBUTION_EDGE)
    {
        const float t = Ogre::Math::RangeRandom(0.0f, 1.0f);
        const float k = Ogre::Math::RangeRandom(0.0f, 3.0f);
        const int edge = k < 1.0f ? 0 : k < 2.0f ? 1 : 2;
        point = c[(edge + 1) % 3] + t * (c[edge] - c[(edge + 1) % 3]);
        direction = triangle.edgeNormals[edge];
    }
    else
    {
        float u = Ogre::Math::RangeRandom(0.0f, 1.0f);
        float v = Ogre::Math::RangeRandom(0.0f, 1.0f);
        if (u + v > 1.0f)
        {
            u = 1.0f - u;
            v = 1.0f - v;
        }
        point = (1.0f - u - v) * c[0] + u * c[1] + v * c[2];
        direction = triangle.faceNormal;
    }
    particle.position = particle.originalPosition = point;
    if (!isAutoDirection())
        return;
    const float angle = particles::DynamicAttributeHelper::calculate(&getAngle(), getSystemTime(), 0.0f);
    if (angle != 0.0f)
        direction = direction.randomDeviant(Ogre::Degree(angle), getUpVector());
    particle.direction = particle.originalDirection = direction;
    m_directionSet = true;
}

void cl_EntityEmitter::_initParticleDirection(particles::Particle& particle)
{
    if (!m_directionSet)
        particles::ParticleEmitter::_initParticleDirection(particle);
}
