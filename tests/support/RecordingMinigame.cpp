#include "support/RecordingMinigame.h"

#include <sstream>

void RecordingMinigame::Start(cl_AssetLogic*)
{
    Note("start");
}

void RecordingMinigame::Hide()
{
    Note("hide");
}

void RecordingMinigame::Show()
{
    Note("show");
}

void RecordingMinigame::KeyPressed(int key)
{
    Note("key pressed " + std::to_string(key));
}

void RecordingMinigame::KeyReleased(int key)
{
    Note("key released " + std::to_string(key));
}

void RecordingMinigame::MouseClick(float x, float y, int button)
{
    std::ostringstream text;
    text << "click " << x << ' ' << y << ' ' << button;
    Note(text.str());
}

void RecordingMinigame::MouseMoved(float x, float y)
{
    std::ostringstream text;
    text << "moved " << x << ' ' << y;
    Note(text.str());
}

void RecordingMinigame::MousePressed(float x, float y, int button)
{
    std::ostringstream text;
    text << "pressed " << x << ' ' << y << ' ' << button;
    Note(text.str());
}

void RecordingMinigame::GetHotspots(HotSpots& hotSpots)
{
    hotSpots.insert(hotSpots.end(), m_hotSpots.begin(), m_hotSpots.end());
}

void RecordingMinigame::End()
{
    Note("end");
}
