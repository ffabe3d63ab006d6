#pragma once

#include "graphics/cl_PuppetAnimation.h"

#include <string>

// An animation of one slave object of the puppet (a separate mesh with a skeleton of its own). While its
// clock lies in the show window it puts the slave object's node where the data says: under a node of the
// puppet, or left behind in the scene ("stored").
class cl_PuppetSlaveAnimation : public cl_PuppetAnimation
{
public:
    cl_PuppetSlaveAnimation(cl_Puppet& puppet, cl_PuppetAnimWeight& owner, const std::string& slave);

    // The base reader, then "position", "storestartpos", "fixedtime" (default -1), "show" (default 0) and
    // "hide" (default -1, never).
    bool FromXml(const TiXmlElement& element) override;
    // With a fixed time the clock stays there whatever dt says.
    void Apply(float dt) override;
    void SetTimePosition(float time) override;
    // The state of the slave object's entity.
    void SetAnimation(const std::string& name) override;
    // With "storestartpos" the slave object first takes the world place of its "avatar" node.
    void Enable() override;

    const std::string& GetSlaveName() const { return m_slave; }

private:
    // Hangs the slave object's node where it belongs at time t, when t lies in [show, hide).
    void Place(float t);

    std::string m_slave;
    std::string m_position;
    bool m_storeStartPosition = false;
    float m_fixedTime = -1.0f;
    float m_showTime = 0.0f;
    float m_hideTime = -1.0f;
};
