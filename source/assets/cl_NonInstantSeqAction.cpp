#include "assets/cl_NonInstantSeqAction.h"

#include "common/LogCall.h"
#include "common/XmlHelpers.h"
#include "common/cl_SyncManager.h"
#include "graphics/cl_Character.h"

#include <tinyxml.h>

cl_NonInstantSeqAction::cl_NonInstantSeqAction(const TiXmlElement* element) : cl_SeqAction(element)
{
    if (element)
        m_syncGroup = AttributeOrEmpty(*element, "syncgroup");
}

void cl_NonInstantSeqAction::JoinSyncGroup()
{
    cl_SyncManager* sync = cl_SyncManager::GetInstance();
    if (!m_syncGroup.empty() && sync)
        m_syncToken = sync->GetNewToken(m_syncGroup);
}

void cl_NonInstantSeqAction::Stop(bool)
{
    if (cl_SyncManager* sync = cl_SyncManager::GetInstance())
        sync->ReleaseToken(m_syncToken);
    m_syncToken = SyncToken{};
}

void cl_NonInstantSeqAction::WriteXml(TiXmlElement& element) const
{
    cl_SeqAction::WriteXml(element);
    if (!m_syncGroup.empty())
        element.SetAttribute("syncgroup", m_syncGroup);
}

void cl_NonInstantSeqAction::OnStarted()
{
    NotifyStarted();
}

void cl_NonInstantSeqAction::TimeOut(float seconds)
{
    const std::string type = GetTypeName();
    const std::string id = GetId();
    if (seconds != 0.0f)
        LOG_WARNING("The '%s' Action with the Id '%s' suffered a TimeOut after %f seconds.", type.c_str(),
                    id.c_str(), seconds);
    else
        LOG_WARNING("The '%s' Action with the Id '%s' suffered a TimeOut.", type.c_str(), id.c_str());
    OnDone(RESULT_ABORTED);
}

std::string cl_NonInstantSeqAction::GetName() const
{
    return GetId();
}

void cl_NonInstantSeqAction::StopCharacterAction(const std::string& characterId)
{
    cl_NonInstantSeqAction::Stop(true);
    if (cl_Character* character = FindCharacter(characterId))
        character->ReleaseAction(this);
}
