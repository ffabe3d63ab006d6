#pragma once

class cl_VisualStateHolder;

// One part of a named visual state (which slaves show, which controls run, which script runs...). The
// holder owns its elements and runs them when its state is entered; an element keeps no owner of its own.
class IVisualStateElement
{
public:
    virtual ~IVisualStateElement() = default;

    // Applies the element to owner, the holder whose state is being entered.
    virtual void Activate(cl_VisualStateHolder& owner) = 0;
    // Runs when the state is left. Nothing is undone: the next state sets what it needs.
    virtual void Deactivate(cl_VisualStateHolder&) {}
};
