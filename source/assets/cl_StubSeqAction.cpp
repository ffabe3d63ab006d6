#include "assets/cl_StubSeqAction.h"

#include "common/XmlHelpers.h"
#include "gui/cl_GUISystem.h"
#include "gui/cl_IngameMenu.h"

#include <tinyxml.h>

cl_StubSeqAction::cl_StubSeqAction(const TiXmlElement* element)
    : cl_SeqAction(element), m_stubType(element ? AttributeOrEmpty(*element, "stubtype") : std::string()),
      m_note(TextOf(element))
{
}

void cl_StubSeqAction::Skip()
{
    if (cl_GUISystem* gui = cl_GUISystem::GetInstance())
        gui->GetIngameMenu().HideText("hint");
    FinishAborted();
}

std::string cl_StubSeqAction::GetTypeName() const
{
    return "StubAction";
}

void cl_StubSeqAction::WriteXml(TiXmlElement& element) const
{
    cl_SeqAction::WriteXml(element);
    element.SetAttribute("stubtype", m_stubType);
    if (!m_note.empty())
        element.LinkEndChild(new TiXmlText(m_note));
}

void cl_StubSeqAction::Start()
{
    NotifyStarted();
    Finish(true);
}
