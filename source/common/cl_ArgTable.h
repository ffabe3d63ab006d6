#pragma once

#include "common/cl_Argument.h"

#include <string>
#include <vector>

// An ordered, growable sequence of key/value pairs held by value, in the order they were added. Keys
// need not be unique: only GetValue looks for an existing key. Copies are deep.
class cl_ArgTable
{
public:
    struct Pair
    {
        cl_Argument key;
        cl_Argument value;
    };

    cl_ArgTable() = default;
    cl_ArgTable(const cl_ArgTable&) = default;
    cl_ArgTable& operator=(const cl_ArgTable&) = default;
    cl_ArgTable(cl_ArgTable&&) noexcept = default;
    cl_ArgTable& operator=(cl_ArgTable&&) noexcept = default;
    virtual ~cl_ArgTable() = default;

    int GetSize() const { return static_cast<int>(m_pairs.size()); }

    // The pair at index, or null when index >= size (nothing logged). A negative index appends a pair of
    // two empty arguments and returns it. Appending moves the pairs, so a pointer taken earlier is void
    // after the next append.
    Pair* GetPair(int index);
    // The pair at index, or null when index is negative or past the end.
    const Pair* GetPair(int index) const;

    // The value of the first pair whose key is the string key (an int 1 is not the string "1"). When
    // there is none, a pair of that key and an empty value is appended and its value returned, so a
    // lookup always yields a value and looking up a missing key adds it.
    cl_Argument* GetValue(const std::string& key);

private:
    std::vector<Pair> m_pairs;
};
