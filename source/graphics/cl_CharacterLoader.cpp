#include "graphics/cl_CharacterLoader.h"

#include "common/LogCall.h"
#include "common/XmlHelpers.h"
#include "common/XmlNumbers.h"
#include "graphics/cl_BlobShadow.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_FaceControl.h"
#include "graphics/cl_MovementControl.h"
#include "graphics/cl_PuppetControlFactory.h"
#include "graphics/cl_StepSound.h"
#include "graphics/cl_TurnControl.h"

#include <tinyxml.h>

#include <memory>

namespace
{
// A new control of the element's type registered with the character's puppet under name, heard by the
// character and kept as its control of that kind; null for an unknown type.
cl_PuppetControl* AddControl(const std::string& type, const std::string& name, cl_Character& character)
{
    cl_PuppetControl* control =
        cl_PuppetControlFactory::Add(type, name, *character.GetPuppet(), &character, &character);
    if (auto* movement = dynamic_cast<cl_MovementControl*>(control))
        character.SetMovementControl(movement);
    else if (auto* turn = dynamic_cast<cl_TurnControl*>(control))
        character.SetTurnControl(turn);
    else if (auto* face = dynamic_cast<cl_FaceControl*>(control))
        character.SetFaceControl(face);
    return control;
}
} // namespace

bool cl_CharacterLoader::Load(const TiXmlElement* element, cl_Character* character)
{
    if (!element || !character)
        return false;
    const TiXmlElement* controls = element->FirstChildElement("controls");
    if (character->GetPuppet() && controls)
    {
        for (const TiXmlElement* child = controls->FirstChildElement(); child;
             child = child->NextSiblingElement())
        {
            const std::string name = AttributeOrEmpty(*child, "name");
            cl_PuppetControl* control = character->GetPuppet()->GetControl(name);
            if (!control)
                control = AddControl(child->ValueStr(), name, *character);
            if (!control)
            {
                LOG_ERROR("A control type was unknown and couldn't be added!");
                continue;
            }
            control->FromXml(child);
        }
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
    return true;
}
