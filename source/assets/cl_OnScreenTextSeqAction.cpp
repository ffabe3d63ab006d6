#include "assets/cl_OnScreenTextSeqAction.h"

#include "assets/cl_PoolManager.h"
#include "assets/cl_SpeachSeqAction.h"
#include "assets/cl_TextPool.h"
#include "common/LogCall.h"
#include "common/XmlHelpers.h"
#include "gui/cl_GUISystem.h"

#include <tinyxml.h>

namespace
{
const char* const LABEL = "onscreen";

void HideLabel()
{
    if (cl_GUISystem* gui = cl_GUISystem::GetInstance())
        gui->GetIngameMenu().HideText(LABEL);
}
} // namespace

cl_OnScreenTextSeqAction::cl_OnScreenTextSeqAction(const TiXmlElement* element) : cl_SeqAction(element)
{
    if (element)
        m_textRef = AttributeOrEmpty(*element, "textref");
}

void cl_OnScreenTextSeqAction::WriteXml(TiXmlElement& element) const
{
    cl_SeqAction::WriteXml(element);
    element.SetAttribute("textref", m_textRef);
}

void cl_OnScreenTextSeqAction::Start()
{
    NotifyStarted();
    const cl_PoolManager* pools = cl_PoolManager::GetInstance();
    const cl_TextPool* texts = pools ? pools->GetTextPool() : nullptr;
    if (!texts || !texts->FindAsset(m_textRef))
    {
        LOG_WARNING("OnScreenTextAction does nothing because the Text couldn't be resolved!");
        Finish(true);
        return;
    }
    const std::string text = texts->GetText(m_textRef);
    m_remaining = cl_SpeachSeqAction::ReadingTime(text);
    if (cl_GUISystem* gui = cl_GUISystem::GetInstance())
        gui->GetIngameMenu().ShowOnScreenText(LABEL, text);
}

void cl_OnScreenTextSeqAction::Update(float dt)
{
    if (IsDone())
        return;
    m_remaining -= dt;
    if (m_remaining >= 0.0f)
        return;
    HideLabel();
    Finish(true);
}

void cl_OnScreenTextSeqAction::Skip()
{
    HideLabel();
    FinishAborted();
}

void cl_OnScreenTextSeqAction::Stop(bool)
{
    if (!IsDone())
        HideLabel();
}
