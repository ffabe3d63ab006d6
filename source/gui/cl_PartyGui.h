#pragma once

#include <string>

// The party view: a portrait per party member at the top left of the game screen while the party has more
// than one member. It draws no portraits yet.
class cl_PartyGui
{
public:
    bool IsShown() const { return m_shown; }
    // Hiding a hidden view changes nothing.
    void Hide() { m_shown = false; }

    // The id of the character whose portrait is at the point; none while there are no portraits.
    std::string GetIdAt(float /*x*/, float /*y*/) const { return std::string(); }

private:
    bool m_shown = false;
};
