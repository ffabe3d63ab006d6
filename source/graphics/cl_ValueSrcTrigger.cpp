#include "graphics/cl_ValueSrcTrigger.h"

#include "common/XmlHelpers.h"
#include "common/XmlNumbers.h"
#include "common/cl_FloatSource.h"
#include "common/cl_ValueSourceManager.h"

#include <tinyxml.h>

bool cl_ValueSrcTrigger::LoadFromXml(const TiXmlElement* element)
{
    if (element)
    {
        m_source = ChildText(*element, "valuesrc");
        if (const TiXmlElement* range = element->FirstChildElement("activerange"))
        {
            m_min = NumberAttribute(*range, "min", m_min);
            m_max = NumberAttribute(*range, "max", m_max);
        }
    }
    return cl_ScriptTrigger::LoadFromXml(element);
}

void cl_ValueSrcTrigger::Update(float)
{
    const cl_ValueSourceManager* sources = cl_ValueSourceManager::GetInstance();
    const cl_FloatSource* source = sources ? sources->GetFloatSource(m_source) : nullptr;
    ApplyCondition(source && m_min <= source->GetValue() && source->GetValue() <= m_max);
}
