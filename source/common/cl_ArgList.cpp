#include "common/cl_ArgList.h"

void cl_ArgList::Resize(int count)
{
    m_args.resize(count > 0 ? static_cast<size_t>(count) : 0);
}
