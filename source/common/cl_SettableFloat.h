#pragma once

#include "common/cl_FloatSource.h"

// A source whose value Lua may set ("valuemanager" SetValue); what setting means is the kind's own.
class cl_SettableFloat : public cl_FloatSource
{
public:
    virtual void SetValue(float value) = 0;
};
