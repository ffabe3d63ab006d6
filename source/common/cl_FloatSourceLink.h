#pragma once

#include "common/IFloatSourceListener.h"

#include <string>

// A pointer to a value source of the value-source manager that may be destroyed first: the link then
// falls back to no source instead of dangling.
class cl_FloatSourceLink : public IFloatSourceListener
{
public:
    cl_FloatSourceLink() = default;
    virtual ~cl_FloatSourceLink();
    cl_FloatSourceLink(const cl_FloatSourceLink&) = delete;
    cl_FloatSourceLink& operator=(const cl_FloatSourceLink&) = delete;

    // Links the source of that name; none when the manager (or the manager itself) has no such source.
    void Bind(const std::string& name);
    // The linked source, or null.
    cl_FloatSource* Get() const { return m_source; }

    void OnValueChanged(cl_FloatSource*, float, float) override {}
    void OnSourceDestroyed(cl_FloatSource* source) override;

private:
    cl_FloatSource* m_source = nullptr;
};
