#include "assets/cl_MoveToSeqAction.h"

#include "common/LogCall.h"
#include "common/XmlHelpers.h"
#include "graphics/cl_Camera.h"
#include "graphics/cl_ItemManager.h"
#include "graphics/cl_Scene.h"
#include "graphics/cl_SceneObject.h"

#include <tinyxml.h>

cl_MoveToSeqAction::cl_MoveToSeqAction(const TiXmlElement* element) : cl_BaseMoveToSeqAction(element)
{
    if (element)
        m_itemRef = AttributeOrEmpty(*element, "itemref");
}

void cl_MoveToSeqAction::WriteXml(TiXmlElement& element) const
{
    cl_BaseMoveToSeqAction::WriteXml(element);
    element.SetAttribute("itemref", m_itemRef);
}

void cl_MoveToSeqAction::Start()
{
    const cl_Scene* scene = cl_Camera::CurrentScene();
    cl_ItemManager* items = cl_ItemManager::GetInstance();
    cl_SceneObject* item = scene && scene->GetAsset() && items ? items->GetItemObject(m_itemRef) : nullptr;
    if (!item)
    {
        LogFailure();
        Finish(true);
        return;
    }
    item->ApplySlaveTagPoints();
    Examine(item->GetSceneNode(), m_itemRef, -1.0f);
}

void cl_MoveToSeqAction::LogFailure() const
{
    const std::string id = GetId();
    LOG_ERROR("MoveToAction '%s' failed to make the avatar go to '%s'!", id.c_str(), m_itemRef.c_str());
}
