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

void RecordingMinigame::End()
{
    Note("end");
}
