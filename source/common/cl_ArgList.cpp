#include "common/cl_ArgList.h"

#include "common/IndexedAccess.h"

void cl_ArgList::Resize(int count)
{
    m_args.resize(count > 0 ? static_cast<size_t>(count) : 0);
}

cl_Argument* cl_ArgList::GetArg(int index)
{
    return ElementAtOrAppended(m_args, index);
}

const cl_Argument* cl_ArgList::GetArg(int index) const
{
    return ElementAt(m_args, index);
}
