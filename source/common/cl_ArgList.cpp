#include "common/cl_ArgList.h"

#include "common/IndexedAccess.h"

cl_Argument* cl_ArgList::GetArg(int index)
{
    return ElementAtOrAppended(m_args, index);
}

const cl_Argument* cl_ArgList::GetArg(int index) const
{
    return ElementAt(m_args, index);
}
