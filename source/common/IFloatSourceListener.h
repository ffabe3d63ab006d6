#pragma once

class cl_FloatSource;

// Follows a value source: told of each change of its value and of its end.
class IFloatSourceListener
{
public:
    // The source's value went from oldValue to newValue. Called inside the change, so further changes
    // ripple through within the same call.
    virtual void OnValueChanged(cl_FloatSource* source, float oldValue, float newValue) = 0;
    // The source is being destroyed: drop every pointer to it (there is no need to remove the listener).
    virtual void OnSourceDestroyed(cl_FloatSource* source) = 0;

protected:
    // Listeners are never deleted through this interface.
    ~IFloatSourceListener() = default;
};
