#include "assets/cl_SeqAction.h"

#include "assets/IActionListener.h"
#include "assets/cl_SequenceAsset.h"
#include "common/XmlHelpers.h"
#include "common/cl_ArgList.h"
#include "common/cl_ScriptSystem.h"
#include "gamecomponents/cl_GameComponents.h"
#include "graphics/cl_CharacterManager.h"

#include <tinyxml.h>

cl_SeqAction::cl_SeqAction(const TiXmlElement* element)
{
    if (!element)
        return;
    m_id = AttributeOrEmpty(*element, "id");
    if (const TiXmlElement* condition = element->FirstChildElement("condition"))
        m_condition = TextOf(condition);
}

cl_SeqAction::~cl_SeqAction() = default;

void cl_SeqAction::OnTriggered(cl_BaseActionTrigger*)
{
    if (m_sequence)
        m_sequence->ActivateAction(this);
}

void cl_SeqAction::OnUntriggered(cl_BaseActionTrigger*) {}

std::string cl_SeqAction::GetId() const
{
    return m_id;
}

void cl_SeqAction::Update(float) {}

void cl_SeqAction::Reset()
{
    m_done = false;
    m_activated = false;
}

bool cl_SeqAction::Activate()
{
    // The flags first, so that a refused action runs no Lua.
    if (m_activated || (m_sequence && m_sequence->IsStopped()) || !EvaluateCondition(m_condition))
        return false;
    m_done = false;
    m_activated = true;
    m_listeners.Tell([this](IActionListener& listener) { listener.OnActivated(this); });
    Start();
    return true;
}

void cl_SeqAction::Skip()
{
    FinishAborted();
}

void cl_SeqAction::JoinSyncGroup() {}

void cl_SeqAction::Stop(bool) {}

void cl_SeqAction::WriteXml(TiXmlElement& element) const
{
    element.SetAttribute("id", m_id);
    element.SetAttribute("type", GetTypeName());
    if (!m_condition.empty())
        AppendChild(element, "condition")->LinkEndChild(new TiXmlText(m_condition));
}

void cl_SeqAction::Start()
{
    NotifyStarted();
}

void cl_SeqAction::NotifyStarted()
{
    m_listeners.Tell([this](IActionListener& listener) { listener.OnStarted(this); });
}

void cl_SeqAction::Finish(bool success)
{
    m_done = true;
    m_listeners.Tell([this, success](IActionListener& listener) { listener.OnDone(this, success); });
}

void cl_SeqAction::FinishAborted()
{
    m_done = true;
    m_listeners.Tell([this](IActionListener& listener) { listener.OnAborted(this, true); });
}

bool cl_SeqAction::EvaluateCondition(const std::string& condition)
{
    if (condition.empty())
        return true;
    cl_ScriptSystem* script = cl_ScriptSystem::GetInstance();
    if (!script)
        return false;
    const std::string code = condition.compare(0, 6, "return") == 0 ? condition : "return " + condition;
    cl_ArgList results;
    script->ExecuteString(code, results);
    const cl_Argument* first = results.GetArg(0);
    return first && first->GetType() == cl_Argument::TYPE_BOOL && first->GetBool();
}

std::string cl_SeqAction::TextOf(const TiXmlElement* element)
{
    for (const TiXmlNode* node = element ? element->FirstChild() : nullptr; node; node = node->NextSibling())
    {
        if (const TiXmlText* text = node->ToText())
            return text->ValueStr();
    }
    return std::string();
}

cl_Character* cl_SeqAction::FindCharacter(const std::string& id)
{
    if (id.empty() || id == "avatar")
    {
        const cl_GameComponents* hub = cl_GameComponents::GetInstance();
        return hub ? hub->GetCurrentCharacter() : nullptr;
    }
    const cl_CharacterManager* characters = cl_CharacterManager::GetInstance();
    return characters ? characters->GetCharacter(id) : nullptr;
}
