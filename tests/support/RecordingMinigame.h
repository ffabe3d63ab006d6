#pragma once

#include "minigames/cl_Minigame.h"

#include <string>
#include <vector>

// A minigame that notes what reaches it as "<name> <operation> <arguments>", e.g. "puzzle key pressed 1"
// or "puzzle click 0.25 0.5 0". Its hotspots are those of m_hotSpots.
class RecordingMinigame final : public cl_Minigame
{
public:
    RecordingMinigame(const std::string& name, std::vector<std::string>& seen) : m_name(name), m_seen(seen) {}

    void Start(cl_AssetLogic* logic) override;
    void Hide() override;
    void Show() override;
    void KeyPressed(int key) override;
    void KeyReleased(int key) override;
    void MouseClick(float x, float y, int button) override;
    void MouseMoved(float x, float y) override;
    void MousePressed(float x, float y, int button) override;
    void GetHotspots(HotSpots& hotSpots) override;
    void End() override;

    HotSpots m_hotSpots;

private:
    void Note(const std::string& what) { m_seen.push_back(m_name + " " + what); }

    std::string m_name;
    std::vector<std::string>& m_seen;
};
