#pragma once

#include "graphics/cl_ScriptTrigger.h"

#include <string>

// "valuesrc": on while a float value source lies in [min, max], off otherwise (also while the source is
// missing).
class cl_ValueSrcTrigger : public cl_ScriptTrigger
{
public:
    void Update(float dt) override;
    // The first `valuesrc` text and `activerange` (`min`, `max`), then the scripts and flags.
    bool LoadFromXml(const TiXmlElement* element) override;

private:
    std::string m_source;
    float m_min = 0.0f;
    float m_max = 0.0f;
};
