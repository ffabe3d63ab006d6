#include "common/cl_OgreGameTime.h"

#include <OgreRoot.h>
#include <OgreTimer.h>

cl_OgreGameTime::cl_OgreGameTime(cl_CommandDistributor& distributor) : cl_GameTime(distributor) {}

void cl_OgreGameTime::Update(float dt)
{
    cl_GameTime::Update(dt);
    m_lastUpdate = GetMilliseconds();
}

float cl_OgreGameTime::GetElapsedMilliseconds() const
{
    return static_cast<float>(GetMilliseconds() - static_cast<uint32_t>(m_lastUpdate));
}

float cl_OgreGameTime::GetLastUpdateMilliseconds() const
{
    return static_cast<float>(m_lastUpdate);
}

uint32_t cl_OgreGameTime::GetMilliseconds() const
{
    Ogre::Root* root = Ogre::Root::getSingletonPtr();
    if (!root)
        return 0;
    return static_cast<uint32_t>(root->getTimer()->getMilliseconds());
}
