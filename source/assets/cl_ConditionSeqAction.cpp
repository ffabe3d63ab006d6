#include "assets/cl_ConditionSeqAction.h"

#include "assets/cl_AssetLogic.h"
#include "assets/cl_SequenceAsset.h"
#include "common/LogCall.h"
#include "common/XmlHelpers.h"
#include "common/cl_ArgList.h"
#include "common/cl_ScriptSystem.h"
#include "statechart/cl_SCLuaDataBinding.h"
#include "statechart/cl_StateChartSystem.h"

#include <tinyxml.h>

namespace
{
const char* const TARQ_WORD = "TarqConditionAction";
} // namespace

cl_ConditionSeqAction::cl_ConditionSeqAction(const TiXmlElement* element)
    : cl_SeqAction(element), m_evaluateInLua(element && AttributeOrEmpty(*element, "type") == TARQ_WORD)
{
    if (element)
        m_expression = AttributeOrEmpty(*element, "condition");
}

std::string cl_ConditionSeqAction::GetTypeName() const
{
    return "ConditionAction";
}

void cl_ConditionSeqAction::WriteXml(TiXmlElement& element) const
{
    cl_SeqAction::WriteXml(element);
    if (m_evaluateInLua)
        element.SetAttribute("type", TARQ_WORD);
    if (!m_expression.empty())
        element.SetAttribute("condition", m_expression);
}

void cl_ConditionSeqAction::Start()
{
    NotifyStarted();
    Finish(m_evaluateInLua ? EvaluateInLua() : EvaluateThroughOwner());
}

bool cl_ConditionSeqAction::EvaluateInLua() const
{
    cl_ArgList results;
    if (cl_ScriptSystem* script = cl_ScriptSystem::GetInstance())
        script->ExecuteString("return " + m_expression, results);
    for (int index = 0; index < results.GetSize(); ++index)
    {
        const cl_Argument* result = results.GetArg(index);
        if (result->GetType() == cl_Argument::TYPE_BOOL)
            return result->GetBool();
    }
    LOG_ERROR("A condition could not be evaluated: %s. Assuming a 'failed'!", m_expression.c_str());
    return false;
}

bool cl_ConditionSeqAction::EvaluateThroughOwner() const
{
    const cl_AssetLogic* owner = GetSequence() ? GetSequence()->GetOwnerLogic() : nullptr;
    const cl_StateChartSystem* charts = cl_StateChartSystem::GetInstance();
    if (!owner || !charts)
    {
        LOG_ERROR("Condition Actions may not be called without an active Caller. Orvan PlayButton not "
                  "supported! Assuming a 'failed'!");
        return false;
    }
    return charts->GetDataBinding()->EvaluateCondition(m_expression, nullptr, owner->GetAssetId());
}
