#include "common/cl_StaticFloat.h"

cl_StaticFloat::cl_StaticFloat(float value)
{
    SetCurrentValue(value);
}

void cl_StaticFloat::SetValue(float value)
{
    SetCurrentValue(value);
}
