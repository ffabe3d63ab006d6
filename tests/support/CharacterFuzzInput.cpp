#include "support/CharacterFuzzInput.h"

#include "graphics/cl_Character.h"
#include "graphics/cl_CharacterLoader.h"
#include "graphics/cl_ControlledPuppet.h"

#include <tinyxml.h>

#include <string>

void ReadCharacterFuzzInput(const TiXmlElement& root, cl_Character& character)
{
    if (root.ValueStr() == "tarqdata")
    {
        for (const TiXmlElement* element = root.FirstChildElement("character"); element;
             element = element->NextSiblingElement("character"))
            cl_CharacterLoader::Load(element, &character);
    }
    else
        cl_CharacterLoader::Load(&root, &character);
    cl_ControlledPuppet& puppet = *character.GetPuppet();
    for (const std::string& name : puppet.GetControlNames())
    {
        for (const TiXmlElement* child = root.FirstChildElement(); child; child = child->NextSiblingElement())
            puppet.GetControl(name)->FromXml(child);
    }
}
