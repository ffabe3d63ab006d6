#include "graphics/cl_ProximityTrigger.h"

#include "common/XmlNumbers.h"
#include "gamecomponents/cl_GameComponents.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_Scene.h"
#include "graphics/cl_SceneManager.h"

#include <OgreSceneNode.h>
#include <tinyxml.h>

bool cl_ProximityTrigger::LoadFromXml(const TiXmlElement* element)
{
    if (element)
    {
        if (const TiXmlElement* range = element->FirstChildElement("range"))
        {
            m_activateRange = NumberAttribute(*range, "activate", m_activateRange);
            m_deactivateRange = NumberAttribute(*range, "deactivate", m_deactivateRange);
        }
        if (const TiXmlElement* position = element->FirstChildElement("position"))
        {
            m_position.x = NumberAttribute(*position, "x", m_position.x);
            m_position.y = NumberAttribute(*position, "y", m_position.y);
            m_position.z = NumberAttribute(*position, "z", m_position.z);
            const TiXmlNode* first = position->FirstChild();
            if (first && first->ToText())
                m_node = first->ValueStr();
        }
    }
    return cl_ScriptTrigger::LoadFromXml(element);
}

void cl_ProximityTrigger::Update(float)
{
    const cl_GameComponents* hub = cl_GameComponents::GetInstance();
    const cl_Character* character = hub ? hub->GetCurrentCharacter() : nullptr;
    const Ogre::SceneNode* body = character ? character->GetSceneNode() : nullptr;
    if (!body)
        return;
    if (!m_node.empty())
    {
        const cl_SceneManager* scenes = cl_SceneManager::GetInstance();
        const cl_Scene* scene = scenes ? scenes->GetLoadedScene() : nullptr;
        const Ogre::SceneNode* node =
            scene && scene->GetSceneManager() ? scene->GetSceneNode(m_node) : nullptr;
        if (node)
            m_position = node->_getDerivedPosition();
    }
    const float distance = m_position.distance(body->_getDerivedPosition());
    if (IsTriggered())
        ApplyCondition(!(distance >= m_deactivateRange));
    else
        ApplyCondition(distance <= m_activateRange);
}
