#include "assets/cl_ItemAsset.h"

#include "assets/cl_AssetLogic.h"
#include "assets/cl_GameState.h"
#include "common/LogCall.h"
#include "common/XmlHelpers.h"

#include <tinyxml.h>

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace
{
const char* const INTERACTION = "interaction";
const char* const INTERACT_MOUSE_OVER = "interactmouseover";
const char* const USED_BY = "used_by";

void LogMissingMouseOverText(const std::string& id)
{
    LOG_ERROR("Current MouseOver-Text couldn't be retrieved for item-asset '%s'. State corrupted?",
              id.c_str());
}
} // namespace

std::string cl_ItemAsset::GetType() const
{
    return "item";
}

std::string cl_ItemAsset::GetThingType() const
{
    return "item";
}

void cl_ItemAsset::BindState(cl_GameState* gameState)
{
    m_state = gameState ? gameState->GetItemState(GetId()) : nullptr;
    cl_Asset::BindState(gameState);
}

std::string cl_ItemAsset::GetCurrentMouseOverTextId(const cl_Asset* heldItem) const
{
    if (GetInteractionFlags() & NO_INTERACTION_NO_TEXT)
        return std::string();
    if (!heldItem)
    {
        const std::string textId = ReadState("mouseoverref");
        if (textId.empty())
            LogMissingMouseOverText(GetId());
        return textId;
    }
    const cl_AssetLogic* logic = GetLogic();
    if (!logic || !logic->HasInteractionItem(heldItem))
        return std::string();

    const TiXmlElement* unconditional = nullptr;
    for (const TiXmlElement* entry = m_state ? m_state->FirstChildElement(INTERACT_MOUSE_OVER) : nullptr;
         entry; entry = entry->NextSiblingElement(INTERACT_MOUSE_OVER))
    {
        if (AttributeOrEmpty(*entry, "itemref") != heldItem->GetId())
            continue;
        const char* condition = entry->Attribute("condition");
        if (!condition)
            unconditional = entry;
        else if (ConditionHolds(condition) && entry->Attribute("textref"))
            return AttributeOrEmpty(*entry, "textref");
    }
    if (unconditional && unconditional->Attribute("textref"))
        return AttributeOrEmpty(*unconditional, "textref");
    LogMissingMouseOverText(GetId());
    return std::string();
}

std::string cl_ItemAsset::GetInteractionSequence(const std::string& mode) const
{
    const TiXmlElement* interaction =
        m_state ? FindChildWithAttribute(*m_state, INTERACTION, "mode", mode) : nullptr;
    return interaction ? AttributeOrEmpty(*interaction, "sequenceref") : "none";
}

std::string cl_ItemAsset::GetInteractionMode() const
{
    return ReadState("interactionmode");
}

void cl_ItemAsset::SetInteractionMode(const std::string& mode)
{
    WriteState("interactionmode", mode);
}

void cl_ItemAsset::SetInteractionFlags(int flags)
{
    WriteState("interactionflags", std::to_string(flags));
}

bool cl_ItemAsset::AllowsInteraction() const
{
    if (GetInteractionFlags() & (NO_INTERACTION | NO_INTERACTION_NO_TEXT))
        return false;
    return GetInteractionMode() != "none";
}

std::string cl_ItemAsset::GetVisualisation() const
{
    return ReadState("visualisation");
}

void cl_ItemAsset::SetVisualisation(const std::string& visualisation)
{
    WriteState("visualisation", visualisation);
}

std::string cl_ItemAsset::GetCurrentScene() const
{
    return ReadState("currentscene");
}

void cl_ItemAsset::SetCurrentScene(const std::string& sceneId)
{
    WriteState("currentscene", sceneId);
}

void cl_ItemAsset::SetNameRef(const std::string& textId)
{
    WriteState("nameref", textId);
}

void cl_ItemAsset::SetInteractionSequence(const std::string& mode, const std::string& sequenceId)
{
    if (!m_state)
        return;
    TiXmlElement* interaction = FindChildWithAttribute(*m_state, INTERACTION, "mode", mode);
    if (!interaction)
    {
        interaction = AppendChild(*m_state, INTERACTION);
        interaction->SetAttribute("mode", mode);
    }
    interaction->SetAttribute("sequenceref", sequenceId);
}

std::string cl_ItemAsset::GetUsedBySequence(const cl_Asset* usedItem) const
{
    if (!usedItem || !m_state)
        return std::string();
    const TiXmlElement* unconditional = nullptr;
    for (const TiXmlElement* interaction = m_state->FirstChildElement(INTERACTION); interaction;
         interaction = interaction->NextSiblingElement(INTERACTION))
    {
        const char* mode = interaction->Attribute("mode");
        if (!mode || std::string(mode) != USED_BY ||
            AttributeOrEmpty(*interaction, "item") != usedItem->GetId())
            continue;
        const std::string condition = AttributeOrEmpty(*interaction, "condition");
        if (condition.empty())
            unconditional = interaction;
        else if (ConditionHolds(condition))
            return AttributeOrEmpty(*interaction, "sequenceref");
    }
    return unconditional ? AttributeOrEmpty(*unconditional, "sequenceref") : std::string();
}

void cl_ItemAsset::SetUsedByInteractionSequence(const std::string& usedItemId, const std::string& sequenceId,
                                                const std::string& condition)
{
    if (!m_state)
        return;
    for (TiXmlElement* interaction = m_state->FirstChildElement(INTERACTION); interaction;
         interaction = interaction->NextSiblingElement(INTERACTION))
    {
        if (AttributeOrEmpty(*interaction, "mode") == USED_BY &&
            AttributeOrEmpty(*interaction, "item") == usedItemId &&
            AttributeOrEmpty(*interaction, "condition") == condition)
        {
            interaction->SetAttribute("sequenceref", sequenceId);
            return;
        }
    }
    TiXmlElement* interaction = AppendChild(*m_state, INTERACTION);
    interaction->SetAttribute("mode", USED_BY);
    interaction->SetAttribute("item", usedItemId);
    interaction->SetAttribute("condition", condition);
    interaction->SetAttribute("sequenceref", sequenceId);
}

void cl_ItemAsset::SetCurrentMouseOverText(const std::string& textId, const std::string& heldItemId,
                                           const std::string& condition)
{
    if (!m_state)
        return;
    if (heldItemId.empty())
    {
        m_state->SetAttribute("mouseoverref", textId.empty() ? "none" : textId);
        return;
    }
    for (TiXmlElement* entry = m_state->FirstChildElement(INTERACT_MOUSE_OVER); entry;
         entry = entry->NextSiblingElement(INTERACT_MOUSE_OVER))
    {
        if (AttributeOrEmpty(*entry, "itemref") != heldItemId)
            continue;
        const char* entryCondition = entry->Attribute("condition");
        if (condition.empty() && !entryCondition)
        {
            entry->SetAttribute("textref", textId.empty() ? "none" : textId);
            return;
        }
        if (!condition.empty() && entryCondition && condition == entryCondition)
        {
            entry->SetAttribute("textref", textId);
            return;
        }
    }
    TiXmlElement* entry = AppendChild(*m_state, INTERACT_MOUSE_OVER);
    entry->SetAttribute("itemref", heldItemId);
    if (!condition.empty())
        entry->SetAttribute("condition", condition);
    entry->SetAttribute("textref", textId);
}

bool cl_ItemAsset::ConditionHolds(const std::string& condition) const
{
    const cl_AssetLogic* logic = GetLogic();
    return logic && logic->IsInState(condition);
}

int cl_ItemAsset::GetInteractionFlags() const
{
    const std::string flags = ReadState("interactionflags");
    const long value = std::strtol(flags.c_str(), nullptr, 10);
    return static_cast<int>(std::clamp<long>(value, INT_MIN, INT_MAX));
}

std::string cl_ItemAsset::ReadState(const char* attribute) const
{
    return m_state ? AttributeOrEmpty(*m_state, attribute) : std::string();
}

void cl_ItemAsset::WriteState(const char* attribute, const std::string& value)
{
    if (m_state)
        m_state->SetAttribute(attribute, value);
}
