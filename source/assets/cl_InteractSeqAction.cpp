#include "assets/cl_InteractSeqAction.h"

#include "assets/cl_ItemPool.h"
#include "assets/cl_PoolManager.h"
#include "common/XmlHelpers.h"

#include <tinyxml.h>

cl_InteractSeqAction::cl_InteractSeqAction(const TiXmlElement* element) : cl_SeqAction(element)
{
    if (!element)
        return;
    m_itemRef = AttributeOrEmpty(*element, "itemref");
    m_handItemRef = AttributeOrEmpty(*element, "handitemref");
    m_interactionMode = AttributeOrEmpty(*element, "interactionmode");
}

std::string cl_InteractSeqAction::GetTypeName() const
{
    return "InteractAction";
}

void cl_InteractSeqAction::WriteXml(TiXmlElement& element) const
{
    cl_SeqAction::WriteXml(element);
    element.SetAttribute("itemref", m_itemRef);
    element.SetAttribute("handitemref", m_handItemRef);
    element.SetAttribute("interactionmode", m_interactionMode);
}

void cl_InteractSeqAction::Start()
{
    NotifyStarted();
    cl_PoolManager* pools = cl_PoolManager::GetInstance();
    if (cl_Asset* item = pools ? pools->GetItemPool()->FindAsset(m_itemRef) : nullptr)
    {
        cl_Argument handItem;
        if (!m_handItemRef.empty())
            handItem.SetString(m_handItemRef);
        pools->SendToAsset(item, m_interactionMode, handItem, 0.0f);
    }
    Finish(true);
}
