#pragma once

#include "assets/cl_Asset.h"

#include <string>
#include <vector>

// A minigame of the chapter, with the event words the minigame may send to its logic.
class cl_MinigameAsset : public cl_Asset
{
public:
    std::string GetType() const override;

    // Appends the word; equal words are kept, each in its place.
    virtual void AddPossibleEvent(const std::string& event);
    void ClearPossibleEvents() { m_possibleEvents.clear(); }
    // In file order.
    const std::vector<std::string>& GetPossibleEvents() const { return m_possibleEvents; }

private:
    std::vector<std::string> m_possibleEvents;
};
