#include "common/cl_ArgTable.h"

#include "common/IndexedAccess.h"

cl_ArgTable::Pair* cl_ArgTable::GetPair(int index)
{
    return ElementAtOrAppended(m_pairs, index);
}

const cl_ArgTable::Pair* cl_ArgTable::GetPair(int index) const
{
    return ElementAt(m_pairs, index);
}

cl_Argument* cl_ArgTable::GetValue(const std::string& key)
{
    cl_Argument wanted;
    wanted.SetString(key);
    for (Pair& pair : m_pairs)
    {
        if (pair.key.IsSameKey(wanted))
            return &pair.value;
    }
    Pair& added = m_pairs.emplace_back();
    added.key = std::move(wanted);
    return &added.value;
}
