#pragma once

#include <OgreAxisAlignedBox.h>
#include <OgreMovableObject.h>
#include <OgreVector.h>

#include <memory>
#include <string>
#include <vector>

namespace particles
{
class ParticleTechnique;

// A particle effect in the scene: an OGRE movable object holding techniques whose particles live in
// world space, so that a moving node leaves its particles behind. Systems are made by the particle-system
// manager from templates (which are systems that never join a scene) and advance every frame while they
// run; nothing runs until start. Visibility flags, render queue group and the node it hangs on work as
// for every movable object; its bounds follow its particles (empty while it has none, so it is culled).
class ParticleSystem : public Ogre::MovableObject
{
public:
    enum State
    {
        STOPPED, // no particles, nothing happens
        RUNNING, // emitting
        FADING,  // no new particles; stops once the last one has died
    };

    explicit ParticleSystem(const std::string& name);
    ~ParticleSystem() override;

    // A new empty technique, owned by the system.
    ParticleTechnique* createTechnique();
    size_t getNumTechniques() const { return m_techniques.size(); }
    // Null past the end.
    ParticleTechnique* getTechnique(size_t index) const;

    // Stretches emitter shapes (the system's node scales them too).
    const Ogre::Vector3& getScale() const { return m_scale; }
    void setScale(const Ogre::Vector3& scale) { m_scale = scale; }
    // Seconds advanced since the last start.
    float getTimeElapsedSinceStart() const { return m_time; }
    // The scene manager that made it; null for a template.
    Ogre::SceneManager* getSceneManager() const { return _getManager(); }
    State getState() const { return m_state; }

    // Emits from now on; the time starts again at 0 and the emitters prepare. Living particles stay.
    void start();
    // Ends at once: every particle goes.
    void stop();
    // Emits no more and lets the living particles run out; nothing for a stopped system.
    void stopFade();
    // What fastForward simulates: time seconds in steps of interval. Nothing for a time or interval of 0
    // or less; at most 10000 steps, made longer where needed.
    void setFastForward(float time, float interval);
    // Advances by the fast-forward time at once, as steps of its interval.
    void fastForward();
    // Advances a running or fading system by dt seconds; nothing for dt of 0 or less.
    void _update(float dt);

    // Gives system this one's scale and techniques (copies of the emitters and affectors made by the
    // manager's factories).
    void copyAttributesTo(ParticleSystem& system) const;

    // A point of the system's space in the world: the system's scale, then its node's.
    Ogre::Vector3 _getDerivedPoint(const Ogre::Vector3& point) const;
    // A direction of the system's space turned into the world's.
    Ogre::Vector3 _getDerivedDirection(const Ogre::Vector3& direction) const;

    const Ogre::String& getMovableType() const override;
    const Ogre::AxisAlignedBox& getBoundingBox() const override { return m_bounds; }
    Ogre::Real getBoundingRadius() const override { return m_boundingRadius; }
    void _notifyAttached(Ogre::Node* parent, bool isTagPoint = false) override;
    void _notifyCurrentCamera(Ogre::Camera* camera) override;
    void _updateRenderQueue(Ogre::RenderQueue* queue) override;
    void visitRenderables(Ogre::Renderable::Visitor* visitor, bool debugRenderables = false) override;

private:
    // The particles' box in the node's space, handed to the techniques' renderers.
    void updateBounds();

    std::vector<std::unique_ptr<ParticleTechnique>> m_techniques;
    Ogre::Vector3 m_scale = Ogre::Vector3::UNIT_SCALE;
    float m_time = 0.0f;
    State m_state = STOPPED;
    float m_fastForwardTime = 0.0f;
    float m_fastForwardInterval = 0.0f;
    Ogre::AxisAlignedBox m_bounds;
    float m_boundingRadius = 0.0f;
};
} // namespace particles
