#pragma once

#include "graphics/IVisualStateElement.h"

#include <string>
#include <vector>

class TiXmlElement;

// The `script` element of a visual state: Lua texts run, in document order, when the state is entered.
class cl_ScriptStateActivator : public IVisualStateElement
{
public:
    // Keeps the entry's text (empty when its first child is no text); never fails.
    bool AddEntry(const TiXmlElement& entry);

    // Runs every text through the script system (nothing without one); failing scripts are logged there.
    void Activate(cl_VisualStateHolder& owner) override;

private:
    std::vector<std::string> m_scripts;
};
