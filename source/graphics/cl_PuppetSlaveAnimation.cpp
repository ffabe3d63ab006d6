#include "graphics/cl_PuppetSlaveAnimation.h"

#include "common/XmlHelpers.h"
#include "common/XmlNumbers.h"
#include "graphics/cl_Puppet.h"

#include <OgreAnimationState.h>
#include <OgreSceneNode.h>
#include <tinyxml.h>

cl_PuppetSlaveAnimation::cl_PuppetSlaveAnimation(cl_Puppet& puppet, cl_PuppetAnimWeight& owner,
                                                 const std::string& slave)
    : cl_PuppetAnimation(puppet, owner), m_slave(slave)
{
}

bool cl_PuppetSlaveAnimation::FromXml(const TiXmlElement& element)
{
    if (!cl_PuppetAnimation::FromXml(element))
        return false;
    m_position = AttributeOrEmpty(element, "position");
    m_storeStartPosition = IsTrueAttribute(element, "storestartpos");
    m_fixedTime = NumberAttribute(element, "fixedtime", -1.0f);
    m_showTime = NumberAttribute(element, "show", 0.0f);
    m_hideTime = NumberAttribute(element, "hide", -1.0f);
    return true;
}

void cl_PuppetSlaveAnimation::Apply(float dt)
{
    if (m_state && m_fixedTime >= 0.0f)
    {
        m_state->setTimePosition(m_fixedTime);
        cl_PuppetAnimation::Apply(0.0f);
        Place(m_fixedTime);
        return;
    }
    cl_PuppetAnimation::Apply(dt);
    if (m_state)
        Place(m_state->getTimePosition());
}

void cl_PuppetSlaveAnimation::SetTimePosition(float time)
{
    const float t = m_fixedTime >= 0.0f ? m_fixedTime : time;
    cl_PuppetAnimation::SetTimePosition(t);
    Place(t);
}

void cl_PuppetSlaveAnimation::SetAnimation(const std::string& name)
{
    const st_SlaveObject* slave = m_puppet.FindSlave(m_slave);
    TakeState(slave ? slave->entity : nullptr, name, "slave");
}

void cl_PuppetSlaveAnimation::Enable()
{
    if (IsEnabled())
        return;
    const st_SlaveObject* slave = m_puppet.FindSlave(m_slave);
    const Ogre::SceneNode* avatar = m_puppet.FindNode(m_slave, "avatar");
    if (m_storeStartPosition && slave && avatar)
    {
        slave->node->setPosition(avatar->_getDerivedPosition());
        slave->node->setOrientation(avatar->_getDerivedOrientation());
    }
    cl_PuppetAnimation::Enable();
}

void cl_PuppetSlaveAnimation::Place(float t)
{
    if (!IsEnabled() || t < m_showTime || (m_hideTime >= 0.0f && t >= m_hideTime))
        return;
    const st_SlaveObject* slave = m_puppet.FindSlave(m_slave);
    if (!slave)
        return;
    Ogre::SceneNode* node = slave->node;
    Ogre::SceneNode* target =
        m_position == "stored" ? m_puppet.GetSceneRoot() : m_puppet.FindNode(m_slave, m_position);
    Ogre::SceneNode* parent = node->getParentSceneNode();
    if (parent == target && target)
        return;
    if (parent)
        parent->removeChild(node);
    if (target)
        target->addChild(node);
}
