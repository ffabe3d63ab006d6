#pragma once

#include "common/IGameTimeListener.h"
#include "common/cl_GameTimeRegistration.h"
#include "graphics/cl_ShotGenerator.h"

#include <string>

class TiXmlElement;

// Follows a target shot at a limited angular speed: each frame (before the camera's) the pan shot turns
// toward the target by at most speed × dt radians as seen from the backdrop's eye, and reaches it when
// it is nearer than that. It starts again from the target whenever the camera stops running.
class cl_PanShotGenerator : public cl_ShotGenerator, public IGameTimeListener
{
public:
    // Reads `speed` (1, radians per second) and `shot` (the target); listens to the game time
    // ("default", priority 0) while it lives.
    explicit cl_PanShotGenerator(const TiXmlElement& element);

    void Update(float dt) override;
    // The pan shot; the target's before the first frame of a run.
    cl_Shot GenerateShot() override;

private:
    cl_Shot m_panShot;
    std::string m_targetShot;
    float m_speed;
    bool m_started = false;
    cl_GameTimeRegistration m_frames;
};
