#include "common/cl_FloatSourceLink.h"

#include "common/cl_FloatSource.h"
#include "common/cl_ValueSourceManager.h"

cl_FloatSourceLink::~cl_FloatSourceLink()
{
    if (m_source)
        m_source->RemoveListener(this);
}

void cl_FloatSourceLink::Bind(const std::string& name)
{
    if (m_source)
        m_source->RemoveListener(this);
    const cl_ValueSourceManager* sources = cl_ValueSourceManager::GetInstance();
    m_source = sources ? sources->GetFloatSource(name) : nullptr;
    if (m_source)
        m_source->AddListener(this);
}

void cl_FloatSourceLink::OnSourceDestroyed(cl_FloatSource* source)
{
    if (source == m_source)
        m_source = nullptr;
}
