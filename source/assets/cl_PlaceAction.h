#pragma once

#include "assets/cl_SeqAction.h"

// Puts an item or a character ("objref") at once at a location ("poshelper"), at the current
// character's body ("avatar"), or out of the scene ("void" or empty).
class cl_PlaceAction : public cl_SeqAction
{
public:
    // Reads "objref" and "poshelper".
    explicit cl_PlaceAction(const TiXmlElement* element);

    std::string GetTypeName() const override { return "PlaceAction"; }
    void WriteXml(TiXmlElement& element) const override;

protected:
    // An object that is neither an item nor a character is logged; the action finishes either way.
    void Start() override;

private:
    bool PlaceItem() const;
    bool PlaceCharacter() const;

    std::string m_objRef;
    std::string m_posHelper;
};
