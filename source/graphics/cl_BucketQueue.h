#pragma once

#include <cstddef>
#include <vector>

// A priority queue of edges for a search whose keys never fall below the last key taken out (a search
// with a consistent estimate) and never lie more than a fixed span above it: a ring of buckets of equal
// width, the lowest entry found by looking through the lowest non-empty bucket only. Entries come out
// exactly in order of key, of equal keys the lowest cost first.
class cl_BucketQueue
{
public:
    struct st_Entry
    {
        double key;
        float cost;
        int edge;
    };

    // Empties the queue for keys from lowest on, each at most span above the last key taken out.
    void Reset(double lowest, double span, double width);
    bool IsEmpty() const { return m_size == 0; }
    // False (nothing added) when key lies below the last key taken out or further above it than the ring
    // reaches (at least the span), or is not a number.
    bool Push(double key, float cost, int edge);
    // Takes out the lowest entry; only when not empty.
    st_Entry Pop();

private:
    std::vector<std::vector<st_Entry>> m_buckets;
    double m_perWidth = 1.0;
    size_t m_mask = 0;      // ring size - 1
    double m_span = 0.0;    // how far above the last key taken out a key may lie
    double m_highest = 0.0; // keys from here on would overflow the bucket numbers
    double m_last = 0.0;    // the last key taken out
    size_t m_current = 0;   // the bucket number (not ring index) that holds the lowest keys
    size_t m_size = 0;
};
