#include "graphics/cl_BucketQueue.h"

#include <algorithm>
#include <cmath>

namespace
{
// A ring of at most this many buckets; a wide span gets wider buckets instead.
const size_t MAX_BUCKETS = size_t(1) << 16;
} // namespace

void cl_BucketQueue::Reset(double lowest, double span, double width)
{
    width = std::max(width, span / (MAX_BUCKETS - 2));
    m_perWidth = 1.0 / width;
    // Keys from the last one taken out to span above it reach over at most span / width + 2 buckets;
    // a power of two of them makes the ring index a mask.
    const double needed = std::ceil(span * m_perWidth) + 2.0;
    size_t count = 4;
    while (count < needed && count < MAX_BUCKETS)
        count *= 2;
    if (m_buckets.size() < count)
        m_buckets.resize(count);
    for (size_t i = 0; i < count; ++i)
        m_buckets[i].clear();
    m_mask = count - 1;
    m_span = (count - 2) * width;
    m_highest = 1e15 * width;
    m_last = lowest;
    m_current = static_cast<size_t>(std::min(lowest, m_highest) * m_perWidth);
    m_size = 0;
}

bool cl_BucketQueue::Push(double key, float cost, int edge)
{
    if (!(key >= m_last && key - m_last <= m_span && key < m_highest))
        return false;
    m_buckets[static_cast<size_t>(key * m_perWidth) & m_mask].push_back({key, cost, edge});
    ++m_size;
    return true;
}

cl_BucketQueue::st_Entry cl_BucketQueue::Pop()
{
    while (m_buckets[m_current & m_mask].empty())
        ++m_current;
    std::vector<st_Entry>& bucket = m_buckets[m_current & m_mask];
    size_t lowest = 0;
    for (size_t i = 1; i < bucket.size(); ++i)
    {
        const st_Entry& entry = bucket[i];
        if (entry.key < bucket[lowest].key ||
            (entry.key == bucket[lowest].key && entry.cost < bucket[lowest].cost))
            lowest = i;
    }
    const st_Entry entry = bucket[lowest];
    bucket[lowest] = bucket.back();
    bucket.pop_back();
    --m_size;
    m_last = entry.key;
    return entry;
}
