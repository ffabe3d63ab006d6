#pragma once

#include "common/cl_SettableFloat.h"

// A constant that only SetValue changes; it holds its value from construction.
class cl_StaticFloat : public cl_SettableFloat
{
public:
    explicit cl_StaticFloat(float value);

    void SetValue(float value) override;
};
