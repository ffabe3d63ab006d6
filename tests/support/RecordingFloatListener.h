#pragma once

#include "common/IFloatSourceListener.h"

#include <vector>

// Notes every notification of the sources it follows, in order.
class RecordingFloatListener final : public IFloatSourceListener
{
public:
    struct Change
    {
        cl_FloatSource* source;
        float oldValue;
        float newValue;
    };

    void OnValueChanged(cl_FloatSource* source, float oldValue, float newValue) override
    {
        changes.push_back({source, oldValue, newValue});
    }
    void OnSourceDestroyed(cl_FloatSource* source) override { destroyed.push_back(source); }

    std::vector<Change> changes;
    std::vector<cl_FloatSource*> destroyed;
};
