#pragma once

#include "common/cl_SettableFloat.h"

// A clock: counts the seconds the manager hands it, from 0.0 (so it stands still while switched off).
// SetValue sets the count.
class cl_FloatTime : public cl_SettableFloat
{
public:
    void Update(float dt) override;
    void SetValue(float value) override;
};
