#pragma once

#include "platform/particles/ParticleEmitter.h"

#include <OgreVector.h>

#include <cstdint>
#include <string>
#include <vector>

namespace Ogre
{
class Entity;
}

// Emits particles from an entity's current mesh, read again every frame in which it emits, so they
// follow the entity's animation and movement: from its surface (favouring the larger or the smaller
// triangles, or evenly by triangle), its corners or its edges. With automatic direction a particle flies
// along the surface's normal (corners use their triangle's), or along the edge normal. An entity that
// cannot be found, or a mesh without triangles, emits nothing.
class cl_EntityEmitter : public particles::ParticleEmitter
{
public:
    static const char* const TYPE;

    enum Distribution
    {
        DISTRIBUTION_HOMOGENEOUS = 0,     // surface, triangles by area, the largest most often
        DISTRIBUTION_HETEROGENEOUS_1 = 1, // surface, triangles by area, the smallest most often
        DISTRIBUTION_HETEROGENEOUS_2 = 2, // surface, every triangle alike
        DISTRIBUTION_VERTEX = 3,
        DISTRIBUTION_EDGE = 4,
    };

    // One triangle in world space, with what emission needs of it.
    struct Triangle
    {
        // The square of the area, for ordering.
        float areaKey;
        Ogre::Vector3 faceNormal;
        Ogre::Vector3 corners[3];
        // Normalised cross products of the corners' position vectors: 1 x 2, 2 x 3, 3 x 1.
        Ogre::Vector3 edgeNormals[3];
    };

    // The entity of that name in the system's scene manager; else, for "object.submesh", the sub-mesh
    // entity of the scene object's puppet (the object is named before the first '.'; "" and "avatar"
    // mean the current character).
    const std::string& GetEntityName() const { return m_entityName; }
    void SetEntityName(const std::string& name);
    int GetDistribution() const { return m_distribution; }
    void SetDistribution(int distribution) { m_distribution = distribution; }
    // Kept for the script's sake; emission does not use it.
    const Ogre::Vector3& GetScale() const { return m_scale; }
    void SetScale(const Ogre::Vector3& scale) { m_scale = scale; }

    // The triangles of the last rebuild, in the order emission draws from.
    const std::vector<Triangle>& GetTriangles() const { return m_triangles; }

    // The library's copy, then the entity name, distribution and scale.
    void copyAttributesTo(particles::ParticleEmitter& emitter) const override;
    void _prepare(particles::ParticleTechnique& technique) override;
    void _preProcessParticles(particles::ParticleTechnique& technique, float dt) override;
    // Nothing while there is no triangle to emit from; the triangles are read first when they are due.
    size_t _calculateRequestedParticles(float dt) override;
    void _initParticlePosition(particles::Particle& particle) override;
    // The library's direction step, unless the position step gave the particle its direction.
    void _initParticleDirection(particles::Particle& particle) override;

private:
    // Null when there is none (logged once until it is found again).
    Ogre::Entity* FindEntity();
    void RebuildTriangles();
    size_t ChooseTriangle() const;

    bool m_rebuild = true;
    std::string m_entityName;
    Ogre::Vector3 m_scale = Ogre::Vector3::UNIT_SCALE;
    std::vector<Triangle> m_triangles;
    bool m_directionSet = false;
    int m_distribution = DISTRIBUTION_HOMOGENEOUS;
    bool m_reportedMissing = false;
    // The mesh as last read; kept so that reading it again allocates nothing.
    std::vector<Ogre::Vector3> m_vertices;
    std::vector<uint32_t> m_indices;
};
