#include "graphics/cl_CharacterLoader.h"

#include "common/LogCall.h"
#include "common/XmlHelpers.h"
#include "common/XmlNumbers.h"
#include "graphics/cl_AutoActionControl.h"
#include "graphics/cl_AutoAnimationControl.h"
#include "graphics/cl_BlobShadow.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_CharacterManager.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_EventTrigger.h"
#include "graphics/cl_FaceControl.h"
#include "graphics/cl_FocusTargetControl.h"
#include "graphics/cl_IdleAnimationControl.h"
#include "graphics/cl_MovementControl.h"
#include "graphics/cl_PuppetControlFactory.h"
#include "graphics/cl_SpecialAnimationControl.h"
#include "graphics/cl_StepSound.h"
#include "graphics/cl_TurnControl.h"

#include <tinyxml.h>

#include <memory>

namespace
{
// Makes control the character's control of its kind (a borrower's found control of the lender's puppet
// too, so that it drives the body it walks with).
void KeepControl(cl_PuppetControl* control, cl_Character& character)
{
    if (auto* idle = dynamic_cast<cl_IdleAnimationControl*>(control))
        character.SetIdleControl(idle);
    else if (auto* movement = dynamic_cast<cl_MovementControl*>(control))
        character.SetMovementControl(movement);
    else if (auto* turn = dynamic_cast<cl_TurnControl*>(control))
        character.SetTurnControl(turn);
    else if (auto* focus = dynamic_cast<cl_FocusTargetControl*>(control))
        character.SetFocusControl(focus);
    else if (auto* face = dynamic_cast<cl_FaceControl*>(control))
        character.SetFaceControl(face);
    else if (auto* autoAction = dynamic_cast<cl_AutoActionControl*>(control))
        character.SetAutoActionControl(autoAction);
    else if (auto* autoAnimation = dynamic_cast<cl_AutoAnimationControl*>(control))
        character.SetAutoAnimationControl(autoAnimation);
    else if (auto* special = dynamic_cast<cl_SpecialAnimationControl*>(control))
        character.SetSpecialControl(special);
}

void LoadControls(const TiXmlElement& controls, cl_Character& character)
{
    cl_ControlledPuppet& puppet = *character.GetPuppet();
    for (const TiXmlElement* child = controls.FirstChildElement(); child; child = child->NextSiblingElement())
    {
        const std::string name = AttributeOrEmpty(*child, "name");
        cl_PuppetControl* control = puppet.GetControl(name);
        if (!control)
            control = cl_PuppetControlFactory::Add(child->ValueStr(), name, puppet, &character, &character);
        if (!control)
        {
            LOG_ERROR("A control type was unknown and couldn't be added!");
            LOG_WARNING("The control '%s' of '%s' has the unknown type '%s'.", name.c_str(),
                        character.GetName().c_str(), child->Value());
            continue;
        }
        KeepControl(control, character);
        control->FromXml(child);
    }
}

// "focustarget" first, else the puppet's own "focustarget" > "bone", else the lender's focus.
void LoadFocus(const TiXmlElement& element, cl_Character& character)
{
    if (const TiXmlElement* target = element.FirstChildElement("focustarget");
        target && !AttributeOrEmpty(*target, "bone").empty())
    {
        character.SetFocus(AttributeOrEmpty(*target, "bone"), AttributeOrEmpty(*target, "slave"));
        return;
    }
    const TiXmlElement* puppet = element.FirstChildElement("puppet");
    if (!puppet)
        return;
    if (const TiXmlElement* target = puppet->FirstChildElement("focustarget"))
    {
        if (target->FirstChildElement("bone"))
            character.SetFocus(ChildText(*target, "bone"), "");
        return;
    }
    const std::string lenderId = AttributeOrEmpty(*puppet, "external");
    const cl_CharacterManager* characters = cl_CharacterManager::GetInstance();
    if (const cl_Character* lender =
            characters && !lenderId.empty() ? characters->GetCharacter(lenderId) : nullptr)
        character.SetFocus(lender->GetFocusBone(), lender->GetFocusSlave());
}
} // namespace

bool cl_CharacterLoader::Load(const TiXmlElement* element, cl_Character* character)
{
    if (!element || !character)
        return false;
    const TiXmlElement* controls = element->FirstChildElement("controls");
    if (character->GetPuppet() && controls)
        LoadControls(*controls, *character);
    if (const TiXmlElement* height = element->FirstChildElement("height"))
    {
        float value = 0.0f;
        ReadNumber(height->GetText() ? height->GetText() : "", value);
        character->SetHeight(value);
    }
    if (const TiXmlElement* distances = element->FirstChildElement("minwalkdist"))
    {
        character->SetMinWalkDistanceToTarget(
            NumberAttribute(*distances, "morphtarget", character->GetMinWalkDistanceToTarget()));
        character->SetMinWalkDistanceToPosition(
            NumberAttribute(*distances, "position", character->GetMinWalkDistanceToPosition()));
    }
    if (const TiXmlElement* steps = element->FirstChildElement("stepsound"))
        character->SetStepSound(cl_StepSound::Load(*steps, *character));
    if (const TiXmlElement* shadow = element->FirstChildElement("blobshadow"))
        character->SetBlobShadow(cl_BlobShadow::Load(*shadow, *character));
    if (character->GetActivity() == cl_Character::ACTIVITY_NEVER_ACTIVE)
        character->SetActivity(cl_Character::ACTIVITY_INACTIVE);
    if (const TiXmlElement* states = element->FirstChildElement("visualstates"))
        cl_VisualStateHolder::LoadVisualStatesFromXml(states, *character);
    if (const TiXmlElement* trigger = element->FirstChildElement("trigger"))
        character->GetEventTrigger().LoadFromXml(trigger);
    LoadFocus(*element, *character);
    return true;
}

void cl_CharacterLoader::Extend(cl_Character* character, const TiXmlElement* element)
{
    if (!character || !element)
    {
        LOG_ERROR("Extending Character failed!");
        return;
    }
    if (const TiXmlElement* puppet = element->FirstChildElement("puppet"); puppet && character->GetPuppet())
        character->GetPuppet()->FromXml(puppet);
    Load(element, character);
    character->SetVisualState(character->GetCurrentVisualState());
}
