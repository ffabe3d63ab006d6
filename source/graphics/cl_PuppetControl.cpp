#include "graphics/cl_PuppetControl.h"

#include <tinyxml.h>

void cl_PuppetControl::SaveToXml(TiXmlElement& element) const
{
    element.SetAttribute("enabled", m_enabled ? "true" : "false");
    element.SetAttribute("active", m_active ? "true" : "false");
}
