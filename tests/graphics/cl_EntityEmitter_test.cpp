#include "graphics/cl_EntityEmitter.h"

#include "common/cl_CommandDistributor.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_CharacterManager.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_EntityEmitterFactory.h"
#include "platform/particles/Particle.h"
#include "platform/particles/ParticleSystem.h"
#include "platform/particles/ParticleSystemManager.h"
#include "platform/particles/ParticleTechnique.h"
#include "support/HeadlessParticles.h"
#include "support/LogCapture.h"
#include "support/TestBody.h"
#include "support/TriangleMesh.h"

#include <OgreEntity.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

namespace
{
using Ogre::Vector3;
using particles::Particle;

// Whether point lies on the segment from a to b.
bool OnSegment(const Vector3& point, const Vector3& a, const Vector3& b)
{
    const Vector3 along = b - a;
    const float t = (point - a).dotProduct(along) / along.squaredLength();
    return t >= -1e-4f && t <= 1.0f + 1e-4f && point.distance(a + t * along) < 1e-3f;
}

// Whether point lies inside the triangle (on its plane, within its sides).
bool Inside(const Vector3& point, const cl_EntityEmitter::Triangle& triangle)
{
    const Vector3* c = triangle.corners;
    const Vector3 n = triangle.faceNormal;
    if (std::fabs((point - c[0]).dotProduct(n)) > 1e-3f)
        return false;
    for (int edge = 0; edge < 3; ++edge)
    {
        if ((c[(edge + 1) % 3] - c[edge]).crossProduct(point - c[edge]).dotProduct(n) < -1e-3f)
            return false;
    }
    return true;
}

// The floor: three triangles facing up (areas 50, 8 and 0.5) on a node 100 above the origin, as the
// entity "floor"; an "Entity" emitter of a running system in the same scene emits from it.
class EntityEmission : public testing::Test
{
protected:
    EntityEmission()
    {
        CreateTriangleMesh("emitter_floor.mesh",
                           {Vector3(0, 0, 0), Vector3(0, 0, 10), Vector3(10, 0, 0), Vector3(20, 0, 0),
                            Vector3(20, 0, 4), Vector3(24, 0, 0), Vector3(30, 0, 0), Vector3(30, 0, 1),
                            Vector3(31, 0, 0)},
                           {0, 1, 2, 3, 4, 5, 6, 7, 8});
        m_node = Scene().getRootSceneNode()->createChildSceneNode(Vector3(0, 100, 0));
        m_node->attachObject(Scene().createEntity("floor", "emitter_floor.mesh"));
        Manager().addEmitterFactory(std::make_unique<cl_EntityEmitterFactory>());
        particles::ParticleSystem* source = Manager().createSystemTemplate("dust");
        m_emitter = static_cast<cl_EntityEmitter*>(
            source->createTechnique()->addEmitter(Manager().createEmitter(cl_EntityEmitter::TYPE)));
        m_emitter->setName("dust");
        m_emitter->getVelocity().setValue(1.0f);
        m_emitter->getTimeToLive().setValue(100.0f);
        m_emitter->SetEntityName("floor");
        source->getTechnique(0)->setParticleQuota(5000);
    }

    Ogre::SceneManager& Scene() const { return m_world.SceneManager(); }
    particles::ParticleSystemManager& Manager() const { return m_world.Manager(); }

    // A system of the template as set up now, run for one step that emits count particles.
    particles::ParticleTechnique& Emit(size_t count)
    {
        m_emitter->getEmissionRate().setValue(static_cast<float>(count));
        particles::ParticleSystem* system =
            Manager().createParticleSystem("dust" + std::to_string(m_made++), "dust", &Scene());
        system->start();
        system->_update(1.0f);
        return *system->getTechnique(0);
    }
    static const cl_EntityEmitter& EmitterOf(const particles::ParticleTechnique& technique)
    {
        return static_cast<const cl_EntityEmitter&>(*technique.getEmitter(0));
    }

    LogCapture m_log;
    HeadlessParticles m_world;
    Ogre::SceneNode* m_node = nullptr;
    cl_EntityEmitter* m_emitter = nullptr;
    int m_made = 0;
};

TEST_F(EntityEmission, TheTrianglesAreTheEntitysInTheWorld)
{
    m_emitter->SetDistribution(cl_EntityEmitter::DISTRIBUTION_HETEROGENEOUS_2);
    const particles::ParticleTechnique& technique = Emit(1);
    const std::vector<cl_EntityEmitter::Triangle>& triangles = EmitterOf(technique).GetTriangles();
    ASSERT_EQ(triangles.size(), 3u);
    const cl_EntityEmitter::Triangle& first = triangles[0]; // in the mesh's order
    EXPECT_EQ(first.corners[1], Vector3(0, 100, 10));
    EXPECT_FLOAT_EQ(first.areaKey, 50.0f * 50.0f);
    EXPECT_TRUE(first.faceNormal.positionEquals(Vector3::UNIT_Y, 1e-5f));
    EXPECT_TRUE(first.edgeNormals[0].positionEquals(
        Vector3(0, 100, 0).crossProduct(Vector3(0, 100, 10)).normalisedCopy(), 1e-5f));
}

TEST_F(EntityEmission, EdgePointsLieOnTheSidesAndFlyAlongTheirEdgeNormals)
{
    m_emitter->SetDistribution(cl_EntityEmitter::DISTRIBUTION_EDGE);
    m_emitter->setAutoDirection(true);
    const particles::ParticleTechnique& technique = Emit(300);
    ASSERT_EQ(technique.getNumParticles(), 300u);
    const std::vector<cl_EntityEmitter::Triangle>& triangles = EmitterOf(technique).GetTriangles();
    for (size_t i = 0; i < technique.getNumParticles(); ++i)
    {
        const Particle& particle = technique.getParticle(i);
        bool found = false;
        for (const cl_EntityEmitter::Triangle& triangle : triangles)
        {
            for (int edge = 0; edge < 3; ++edge)
            {
                found = found || (particle.direction.positionEquals(triangle.edgeNormals[edge], 1e-5f) &&
                                  OnSegment(particle.position, triangle.corners[edge],
                                            triangle.corners[(edge + 1) % 3]));
            }
        }
        ASSERT_TRUE(found) << "particle " << i << " at " << particle.position;
    }
}

TEST_F(EntityEmission, SurfaceDistributionsFavourTheTrianglesTheyName)
{
    const struct
    {
        int distribution;
        float favouredArea;
    } cases[] = {
        {cl_EntityEmitter::DISTRIBUTION_HOMOGENEOUS, 50.0f},
        {cl_EntityEmitter::DISTRIBUTION_HETEROGENEOUS_1, 0.5f},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.distribution);
        m_emitter->SetDistribution(c.distribution);
        const particles::ParticleTechnique& technique = Emit(600);
        const std::vector<cl_EntityEmitter::Triangle>& triangles = EmitterOf(technique).GetTriangles();
        std::map<float, int> hits;
        for (size_t i = 0; i < technique.getNumParticles(); ++i)
        {
            for (const cl_EntityEmitter::Triangle& triangle : triangles)
            {
                if (Inside(technique.getParticle(i).position, triangle))
                {
                    ++hits[std::sqrt(triangle.areaKey)];
                    break;
                }
            }
        }
        int most = 0;
        float favoured = 0.0f;
        int total = 0;
        for (const auto& hit : hits)
        {
            total += hit.second;
            if (hit.second > most)
            {
                most = hit.second;
                favoured = hit.first;
            }
        }
        EXPECT_EQ(total, 600) << "every point lies on a triangle";
        EXPECT_NEAR(favoured, c.favouredArea, 1e-3f);
    }
}

TEST_F(EntityEmission, CornerPointsFlyAlongTheirTrianglesNormal)
{
    m_emitter->SetDistribution(cl_EntityEmitter::DISTRIBUTION_VERTEX);
    m_emitter->setAutoDirection(true);
    const particles::ParticleTechnique& technique = Emit(100);
    const std::vector<cl_EntityEmitter::Triangle>& triangles = EmitterOf(technique).GetTriangles();
    for (size_t i = 0; i < technique.getNumParticles(); ++i)
    {
        const Particle& particle = technique.getParticle(i);
        bool corner = false;
        for (const cl_EntityEmitter::Triangle& triangle : triangles)
        {
            for (const Vector3& c : triangle.corners)
                corner = corner || particle.position == c;
        }
        EXPECT_TRUE(corner) << particle.position;
        EXPECT_TRUE(particle.direction.positionEquals(Vector3::UNIT_Y, 1e-5f)) << particle.direction;
    }
}

TEST_F(EntityEmission, WithoutAutomaticDirectionParticlesFlyTheEmittersWay)
{
    m_emitter->setDirection(Vector3::UNIT_X);
    const particles::ParticleTechnique& technique = Emit(10);
    for (size_t i = 0; i < technique.getNumParticles(); ++i)
        EXPECT_EQ(technique.getParticle(i).direction, Vector3::UNIT_X);
}

TEST_F(EntityEmission, TheMeshIsReadAgainEveryFrameSoParticlesFollowTheEntity)
{
    m_emitter->SetDistribution(cl_EntityEmitter::DISTRIBUTION_VERTEX);
    m_emitter->getEmissionRate().setValue(1.0f);
    m_emitter->getVelocity().setValue(0.0f);
    particles::ParticleSystem* system = Manager().createParticleSystem("follow", "dust", &Scene());
    system->start();
    system->_update(1.0f);
    m_node->setPosition(0, -50, 0);
    system->_update(1.0f);
    const particles::ParticleTechnique& technique = *system->getTechnique(0);
    ASSERT_EQ(technique.getNumParticles(), 2u);
    EXPECT_EQ(technique.getParticle(0).position.y, 100.0f);
    EXPECT_EQ(technique.getParticle(1).position.y, -50.0f);
}

TEST_F(EntityEmission, NoEntityOrNoTriangleEmitsNothing)
{
    m_emitter->SetEntityName("nowhere");
    particles::ParticleTechnique& missing = Emit(10);
    missing.getParentSystem()->_update(1.0f);
    EXPECT_EQ(missing.getNumParticles(), 0u);
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_WARNING), 1u) << "logged once, not every frame";
    EXPECT_TRUE(m_log.Contains(
        "The particle emitter 'dust' finds no entity 'nowhere' to emit from; it emits nothing."));

    CreateTriangleMesh("emitter_broken.mesh", {Vector3(0, 0, 0), Vector3(1, 0, 0), Vector3(0, 0, 1)},
                       {0, 1, 7});
    m_node->attachObject(Scene().createEntity("broken", "emitter_broken.mesh"));
    m_emitter->SetEntityName("broken");
    EXPECT_EQ(Emit(10).getNumParticles(), 0u);
}

TEST_F(EntityEmission, ASceneObjectsSubMeshIsFoundByObjectAndSubMeshName)
{
    cl_CommandDistributor distributor;
    cl_CharacterManager characters(distributor);
    cl_Character* hero = characters.AddCharacter(MakeTestBody(Scene(), "hero"));
    m_emitter->SetEntityName("hero.leaf");
    const particles::ParticleTechnique& technique = Emit(3);
    EXPECT_EQ(technique.getNumParticles(), 3u);
    EXPECT_EQ(EmitterOf(technique).GetTriangles().size(), 1u);
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_WARNING), 0u);
    EXPECT_NE(hero->GetPuppet()->GetSubMesh("leaf").entity, nullptr);
}

TEST_F(EntityEmission, ASystemEmitsAsItsTemplateSays)
{
    m_emitter->SetDistribution(cl_EntityEmitter::DISTRIBUTION_EDGE);
    m_emitter->SetScale(Vector3(1, 2, 3));
    const cl_EntityEmitter& copy = EmitterOf(Emit(1));
    EXPECT_EQ(copy.GetEntityName(), "floor");
    EXPECT_EQ(copy.GetDistribution(), cl_EntityEmitter::DISTRIBUTION_EDGE);
    EXPECT_EQ(copy.GetScale(), Vector3(1, 2, 3));
    EXPECT_EQ(copy.getEmitterType(), "Entity");
}
} // namespace
