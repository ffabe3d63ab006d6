#pragma once

#include "assets/cl_SeqAction.h"
#include "common/Easing.h"
#include "graphics/cl_Shot.h"

// Moves the camera from one shot ("shot1") to another ("shot2") over "duration" seconds, position, zoom
// and rotation each along its own easing curve; the target shot is read anew every update, so a moving
// one is followed. A duration of 0 or less jumps to "shot2". With "skip" a skip jumps there too.
class cl_CameraControlAction : public cl_SeqAction
{
public:
    // Reads "shot1", "shot2", "duration", "focustween", "zoomtween", "rotationtween" (easing names,
    // "linear" by default; unknown names are linear) and "skip".
    explicit cl_CameraControlAction(const TiXmlElement* element);

    std::string GetTypeName() const override { return "CameraControlAction"; }
    void WriteXml(TiXmlElement& element) const override;
    void Update(float dt) override;
    void Skip() override;

protected:
    // Without both shots the action finishes and the camera stays.
    void Start() override;

private:
    // Activates "shot2" by name.
    void ActivateTarget() const;

    std::string m_shot1;
    std::string m_shot2;
    float m_duration = 0.0f;
    std::string m_focusTween = "linear";
    std::string m_zoomTween = "linear";
    std::string m_rotationTween = "linear";
    bool m_skippable = false;
    float m_elapsed = 0.0f;
    bool m_moving = false;
    EasingFunction m_focusCurve = nullptr;
    EasingFunction m_zoomCurve = nullptr;
    EasingFunction m_rotationCurve = nullptr;
    cl_Shot m_from;
    cl_Shot m_to;
};
