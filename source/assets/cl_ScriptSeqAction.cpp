#include "assets/cl_ScriptSeqAction.h"

#include "assets/cl_AssetLogic.h"
#include "assets/cl_SequenceAsset.h"
#include "common/LogCall.h"
#include "common/XmlHelpers.h"
#include "common/cl_ScriptSystem.h"
#include "statechart/cl_SCLuaDataBinding.h"
#include "statechart/cl_StateChartSystem.h"

#include <tinyxml.h>

namespace
{
const char* const TARQ_WORD = "TarqScriptAction";
} // namespace

cl_ScriptSeqAction::cl_ScriptSeqAction(const TiXmlElement* element)
    : cl_SeqAction(element), m_script(TextOf(element)),
      m_tarq(element && AttributeOrEmpty(*element, "type") == TARQ_WORD)
{
}

std::string cl_ScriptSeqAction::GetTypeName() const
{
    return "ScriptAction";
}

void cl_ScriptSeqAction::WriteXml(TiXmlElement& element) const
{
    cl_SeqAction::WriteXml(element);
    if (m_tarq)
        element.SetAttribute("type", TARQ_WORD);
    if (!m_script.empty())
        element.LinkEndChild(new TiXmlText(m_script));
}

void cl_ScriptSeqAction::Start()
{
    NotifyStarted();
    const cl_AssetLogic* owner = GetSequence() ? GetSequence()->GetOwnerLogic() : nullptr;
    const cl_StateChartSystem* charts = cl_StateChartSystem::GetInstance();
    cl_ScriptSystem* script = cl_ScriptSystem::GetInstance();
    if (owner && charts)
        charts->GetDataBinding()->RunScript(m_script, owner->GetAssetId());
    else if (m_tarq && script)
        script->ExecuteString(m_script);
    else
        LOG_ERROR("ScriptSeqAction '%s' failed to execute!", GetId().c_str());
    Finish(true);
}
