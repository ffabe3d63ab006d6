#include "assets/cl_PlaceAction.h"

#include "common/LogCall.h"
#include "common/XmlHelpers.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_CharacterManager.h"
#include "graphics/cl_ItemManager.h"

#include <OgreSceneManager.h>
#include <tinyxml.h>

namespace
{
bool IsNowhere(const std::string& helper)
{
    return helper.empty() || helper == "void";
}

Ogre::SceneNode* AvatarNode()
{
    const cl_Character* avatar = cl_SeqAction::FindCharacter("avatar");
    return avatar ? avatar->GetSceneNode() : nullptr;
}
} // namespace

cl_PlaceAction::cl_PlaceAction(const TiXmlElement* element) : cl_SeqAction(element)
{
    if (!element)
        return;
    m_objRef = AttributeOrEmpty(*element, "objref");
    m_posHelper = AttributeOrEmpty(*element, "poshelper");
}

void cl_PlaceAction::WriteXml(TiXmlElement& element) const
{
    cl_SeqAction::WriteXml(element);
    element.SetAttribute("objref", m_objRef);
    element.SetAttribute("poshelper", m_posHelper);
}

void cl_PlaceAction::Start()
{
    NotifyStarted();
    if (!PlaceItem() && !PlaceCharacter())
    {
        const std::string id = GetId();
        LOG_ERROR("PlaceAction '%s' failed to place '%s' because it is neither an item nor a character!",
                  id.c_str(), m_objRef.c_str());
    }
    Finish(true);
}

bool cl_PlaceAction::PlaceItem() const
{
    cl_ItemManager* items = cl_ItemManager::GetInstance();
    cl_ItemEntry* entry = items ? items->LoadItem(m_objRef) : nullptr;
    if (!entry || !entry->sceneItem)
        return false;
    if (IsNowhere(m_posHelper))
        items->RemoveFromScene(*entry, m_objRef);
    else if (m_posHelper == "avatar")
    {
        st_ObjectPlacement placement;
        placement.parent = AvatarNode();
        items->AddItem(m_objRef, placement);
    }
    else
        items->AddItem(m_objRef, m_posHelper);
    return true;
}

bool cl_PlaceAction::PlaceCharacter() const
{
    const cl_CharacterManager* characters = cl_CharacterManager::GetInstance();
    cl_Character* character = characters ? characters->GetCharacter(m_objRef) : nullptr;
    if (!character)
        return false;
    if (IsNowhere(m_posHelper))
    {
        character->SetLocation(st_ObjectPlacement{});
        character->SetActive(false);
    }
    else if (m_posHelper == "avatar")
    {
        character->SetLocation(AvatarNode());
        character->SetActive(true);
    }
    else if (character->GetSceneManager().hasSceneNode(m_posHelper))
    {
        character->SetLocation(m_posHelper);
        character->SetActive(true);
    }
    else
    {
        character->SetActive(false);
        const std::string id = GetId();
        LOG_ERROR("PlaceAction '%s' failed to place '%s' at '%s' because '%s' could not be resolved!",
                  id.c_str(), m_objRef.c_str(), m_posHelper.c_str(), m_posHelper.c_str());
    }
    return true;
}
