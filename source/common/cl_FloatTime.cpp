#include "common/cl_FloatTime.h"

void cl_FloatTime::Update(float dt)
{
    SetCurrentValue(GetValue() + dt);
}

void cl_FloatTime::SetValue(float value)
{
    SetCurrentValue(value);
}
