#include "assets/cl_SequencePool.h"
#include "assets/cl_AutoInteractionSeqAction.h"
#include "assets/cl_CameraControlAction.h"
#include "assets/cl_ConditionSeqAction.h"
#include "assets/cl_EmotionSeqAction.h"
#include "assets/cl_EyeSweepAction.h"
#include "assets/cl_FadeFromBlackAction.h"
#include "assets/cl_FadeObjectAction.h"
#include "assets/cl_FadePatchAction.h"
#include "assets/cl_FadeToBlackAction.h"
#include "assets/cl_FocusSeqAction.h"
#include "assets/cl_GoToSeqAction.h"
#include "assets/cl_InteractSeqAction.h"
#include "assets/cl_LogicalAndSeqAction.h"
#include "assets/cl_MarkerSeqAction.h"
#include "assets/cl_MoveToAnimoSeqAction.h"
#include "assets/cl_MoveToCharacterSeqAction.h"
#include "assets/cl_MoveToInteractionTargetSeqAction.h"
#include "assets/cl_MoveToPositionSeqAction.h"
#include "assets/cl_MoveToSeqAction.h"
#include "assets/cl_OnScreenTextSeqAction.h"
#include "assets/cl_PlaceAction.h"
#include "assets/cl_PlaceAtAnimoAction.h"
#include "assets/cl_PlayAnimationAction.h"
#include "assets/cl_PlayMovieAction.h"
#include "assets/cl_PlaySoundAction.h"
#include "assets/cl_ScriptSeqAction.h"
#include "assets/cl_SequenceAsset.h"
#include "assets/cl_SpeachPositionAction.h"
#include "assets/cl_SpeachSeqAction.h"
#include "assets/cl_StopSoundAction.h"
#include "assets/cl_StubSeqAction.h"
#include "assets/cl_SuccessActionTrigger.h"
#include "assets/cl_TimelineActionTrigger.h"
#include "assets/cl_TurnToSeqAction.h"
#include "assets/cl_UnFocusSeqAction.h"
#include "assets/cl_VisualStateSeqAction.h"
#include "assets/cl_WaitAction.h"
#include "common/LogCall.h"
#include "common/XmlHelpers.h"

#include <tinyxml.h>

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace
{
using ActionMaker = std::unique_ptr<cl_SeqAction> (*)(const TiXmlElement& element);

template <class Action> std::unique_ptr<cl_SeqAction> Make(const TiXmlElement& element)
{
    return std::make_unique<Action>(&element);
}

struct ActionType
{
    const char* word;
    ActionMaker make;
};

// The type words of "action" elements, compared whole and case-sensitively, in the order they are tried.
const ActionType ACTION_TYPES[] = {
    {"MoveToInteractionTargetAction", &Make<cl_MoveToInteractionTargetSeqAction>},
    {"FocusAction", &Make<cl_FocusSeqAction>},
    {"TurnToAction", &Make<cl_TurnToSeqAction>},
    {"UnFocusAction", &Make<cl_UnFocusSeqAction>},
    {"EmotionAction", &Make<cl_EmotionSeqAction>},
    {"SpeachAction", &Make<cl_SpeachSeqAction>},
    {"OnScreenTextAction", &Make<cl_OnScreenTextSeqAction>},
    {"PlayAnimationAction", &Make<cl_PlayAnimationAction>},
    {"PlayItemAnimationAction", &Make<cl_PlayAnimationAction>},
    {"PlayCharacterAnimationAction", &Make<cl_PlayAnimationAction>},
    {"FadePatchAction", &Make<cl_FadePatchAction>},
    {"FadeObjectAction", &Make<cl_FadeObjectAction>},
    {"PlaySoundAction", &Make<cl_PlaySoundAction>},
    {"StopSoundAction", &Make<cl_StopSoundAction>},
    {"MoveToAnimoAction", &Make<cl_MoveToAnimoSeqAction>},
    {"MoveToAction", &Make<cl_MoveToSeqAction>},
    {"MoveToCharacterAction", &Make<cl_MoveToCharacterSeqAction>},
    {"MoveToPositionAction", &Make<cl_MoveToPositionSeqAction>},
    {"PlaceAction", &Make<cl_PlaceAction>},
    {"PlaceAtAnimoAction", &Make<cl_PlaceAtAnimoAction>},
    {"CameraControlAction", &Make<cl_CameraControlAction>},
    {"VisualStateAction", &Make<cl_VisualStateSeqAction>},
    {"SpeachPositionAction", &Make<cl_SpeachPositionAction>},
    {"EyeSweepAction", &Make<cl_EyeSweepAction>},
    {"FadeToBlackAction", &Make<cl_FadeToBlackAction>},
    {"FadeFromBlackAction", &Make<cl_FadeFromBlackAction>},
    {"PlayMovieAction", &Make<cl_PlayMovieAction>},
    {"AutoInteractionAction", &Make<cl_AutoInteractionSeqAction>},
    {"InteractAction", &Make<cl_InteractSeqAction>},
    {"ScriptAction", &Make<cl_ScriptSeqAction>},
    {"TarqScriptAction", &Make<cl_ScriptSeqAction>},
    {"StubAction", &Make<cl_StubSeqAction>},
    {"MarkerAction", &Make<cl_MarkerSeqAction>},
    {"GoToAction", &Make<cl_GoToSeqAction>},
    {"WaitAction", &Make<cl_WaitAction>},
    {"LogicalAndAction", &Make<cl_LogicalAndSeqAction>},
    {"ConditionAction", &Make<cl_ConditionSeqAction>},
    {"TarqConditionAction", &Make<cl_ConditionSeqAction>},
};

// The trigger of implicit chains: fires when its input is done, aborted or skipped.
std::unique_ptr<cl_BaseActionTrigger> OnDoneTrigger()
{
    return std::make_unique<cl_TimelineActionTrigger>("", cl_TimelineActionTrigger::ON_DONE |
                                                              cl_TimelineActionTrigger::ON_ABORTED);
}

void Chain(cl_SequenceAsset& sequence, std::unique_ptr<cl_BaseActionTrigger> trigger, cl_SeqAction* input,
           cl_SeqAction* output)
{
    trigger->AddInput(input);
    trigger->AddOutput(output);
    sequence.AddTrigger(std::move(trigger));
}

// The action of the element adopted by the sequence; null for an unknown type.
cl_SeqAction* Adopt(cl_SequenceAsset& sequence, std::unique_ptr<cl_SeqAction> action)
{
    cl_SeqAction* adopted = action.get();
    if (action)
        sequence.AddAction(std::move(action));
    return adopted;
}

// The action the structure's "input" or "output" child names by its attribute; null, with an error,
// when the sequence has none of that id.
cl_SeqAction* NamedAction(const cl_SequenceAsset& sequence, const TiXmlElement& reference,
                          const char* attribute)
{
    const std::string id = AttributeOrEmpty(reference, attribute);
    cl_SeqAction* action = sequence.FindAction(id);
    if (!action)
        LOG_ERROR("Action with id '%s' not found in sequence '%s'", id.c_str(), sequence.GetId().c_str());
    return action;
}
} // namespace

cl_SequencePool::cl_SequencePool() : cl_AssetPool("sequences") {}

cl_SequencePool::~cl_SequencePool() = default;

void cl_SequencePool::UpdateElement(TiXmlElement& element, const cl_Asset& asset) const
{
    WriteAsset(element, dynamic_cast<const cl_SequenceAsset*>(&asset));
}

std::unique_ptr<cl_Asset> cl_SequencePool::CreateAsset(const TiXmlElement* element)
{
    auto asset = std::make_unique<cl_SequenceAsset>();
    if (element)
    {
        // The id names the sequence in the log lines of its actions and triggers.
        asset->SetId(AttributeOrEmpty(*element, "id"));
        UpdateAsset(*asset, *element);
    }
    return asset;
}

void cl_SequencePool::UpdateAsset(cl_Asset& asset, const TiXmlElement& element)
{
    auto* sequence = dynamic_cast<cl_SequenceAsset*>(&asset);
    if (!sequence)
        return;
    if (const char* hash = element.Attribute("hash"))
        sequence->SetHash(
            static_cast<int>(std::clamp<long>(std::strtol(hash, nullptr, 10), INT_MIN, INT_MAX)));

    sequence->Clear();
    const TiXmlElement* structure = element.FirstChildElement("tarqstructure");
    if (ReadActions(*sequence, element, !structure))
        LOG_WARNING(
            "Sequence '%s' might not run properly because it's containing one ore more unknown actions.",
            sequence->GetId().c_str());
    if (!structure)
        return;
    if (const char* start = structure->Attribute("start"))
        sequence->SetStartId(start);
    for (const TiXmlElement* node = structure->FirstChildElement("trigger"); node;
         node = node->NextSiblingElement("trigger"))
    {
        if (std::unique_ptr<cl_BaseActionTrigger> trigger = TriggerFromNode(*sequence, *node))
            sequence->AddTrigger(std::move(trigger));
    }
}

bool cl_SequencePool::ReadActions(cl_SequenceAsset& sequence, const TiXmlElement& element, bool chained)
{
    bool unknownMet = false;
    cl_SeqAction* previous = nullptr;
    for (const TiXmlElement* node = element.FirstChildElement("action"); node;
         node = node->NextSiblingElement("action"))
    {
        cl_SeqAction* action = Adopt(sequence, ActionFromNode(*node));
        if (!action)
        {
            unknownMet = true;
            continue;
        }
        if (!chained || !previous)
        {
            previous = action;
            continue;
        }
        if (previous->GetTypeName() != "ConditionAction")
        {
            Chain(sequence, OnDoneTrigger(), previous, action);
            previous = action;
            continue;
        }
        // The condition guards the action: success runs it, failure goes on with the one after it.
        Chain(sequence, std::make_unique<cl_SuccessActionTrigger>("", true), previous, action);
        node = node->NextSiblingElement("action");
        if (!node)
            break;
        cl_SeqAction* next = Adopt(sequence, ActionFromNode(*node));
        unknownMet = unknownMet || !next;
        if (next)
        {
            Chain(sequence, OnDoneTrigger(), action, next);
            Chain(sequence, std::make_unique<cl_SuccessActionTrigger>("", false), previous, next);
        }
        previous = next;
    }
    return unknownMet;
}

std::unique_ptr<cl_SeqAction> cl_SequencePool::ActionFromNode(const TiXmlElement& element)
{
    const std::string word = AttributeOrEmpty(element, "type");
    for (const ActionType& type : ACTION_TYPES)
    {
        if (word == type.word)
            return type.make(element);
    }
    LOG_ERROR("Failed to create SequenceAction. Requested type '%s' is unknown!", word.c_str());
    return nullptr;
}

std::unique_ptr<cl_BaseActionTrigger> cl_SequencePool::TriggerFromNode(const cl_SequenceAsset& sequence,
                                                                       const TiXmlElement& element)
{
    const char* type = element.Attribute("type");
    if (!type)
        return nullptr;
    const std::string word = type;
    const std::string name = AttributeOrEmpty(element, "id");
    std::unique_ptr<cl_BaseActionTrigger> trigger;
    if (word == "OnStart")
        trigger = std::make_unique<cl_TimelineActionTrigger>(name, cl_TimelineActionTrigger::ON_START);
    else if (word == "OnDone")
        trigger = std::make_unique<cl_TimelineActionTrigger>(name, cl_TimelineActionTrigger::ON_DONE |
                                                                       cl_TimelineActionTrigger::ON_ABORTED);
    else if (word == "Delayed")
    {
        double delay = 0.0;
        element.QueryDoubleAttribute("delay", &delay);
        trigger = std::make_unique<cl_TimelineActionTrigger>(name, cl_TimelineActionTrigger::DELAYED,
                                                             static_cast<float>(delay));
    }
    else if (word == "OnSuccess" || word == "OnFailed")
        trigger = std::make_unique<cl_SuccessActionTrigger>(name, word == "OnSuccess");
    else
        return nullptr;

    for (const TiXmlElement* input = element.FirstChildElement("input"); input;
         input = input->NextSiblingElement("input"))
    {
        if (cl_SeqAction* action = NamedAction(sequence, *input, "actionid"))
            trigger->AddInput(action);
    }
    for (const TiXmlElement* output = element.FirstChildElement("output"); output;
         output = output->NextSiblingElement("output"))
    {
        if (cl_SeqAction* action = NamedAction(sequence, *output, "listenerid"))
            trigger->AddOutput(action);
    }
    return trigger;
}

void cl_SequencePool::WriteAsset(TiXmlElement& element, const cl_SequenceAsset* sequence) const
{
    if (!sequence)
        return;
    element.SetAttribute("id", sequence->GetId());
    element.SetAttribute("hash", "");

    // Every old element of a written action goes before any is written, so that actions sharing an id
    // are all kept.
    for (TiXmlElement* child = element.FirstChildElement("action"); child;)
    {
        TiXmlElement* next = child->NextSiblingElement("action");
        if (sequence->FindAction(AttributeOrEmpty(*child, "id")))
            element.RemoveChild(child);
        child = next;
    }
    for (const auto& action : sequence->GetActions())
        action->WriteXml(*AppendChild(element, "action"));

    TiXmlElement* structure = element.FirstChildElement("tarqstructure");
    if (!structure)
        structure = AppendChild(element, "tarqstructure");
    while (TiXmlElement* child = structure->FirstChildElement())
        structure->RemoveChild(child);
    const std::string& start = sequence->GetStartId();
    if (!start.empty() && sequence->FindAction(start))
        structure->SetAttribute("start", start);
    for (const auto& trigger : sequence->GetTriggers())
        trigger->WriteXml(*AppendChild(*structure, "trigger"));
}

cl_SequenceAsset* cl_SequencePool::CreateInteractionSequence(bool walkFirst)
{
    m_transientSequences.erase(std::remove_if(m_transientSequences.begin(), m_transientSequences.end(),
                                              [](const auto& sequence) { return sequence->IsStopped(); }),
                               m_transientSequences.end());
    auto sequence = std::make_unique<cl_SequenceAsset>();
    cl_SeqAction* walk =
        walkFirst ? Adopt(*sequence, std::make_unique<cl_MoveToInteractionTargetSeqAction>(nullptr))
                  : nullptr;
    cl_SeqAction* interaction = Adopt(*sequence, std::make_unique<cl_AutoInteractionSeqAction>(nullptr));
    if (walk)
        Chain(*sequence, OnDoneTrigger(), walk, interaction);
    m_transientSequences.push_back(std::move(sequence));
    return m_transientSequences.back().get();
}
