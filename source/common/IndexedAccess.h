#pragma once

#include <cstddef>
#include <vector>

// The index rule that argument lists and tables share.

// The element at index, or null when index is negative or past the end.
template <class T> const T* ElementAt(const std::vector<T>& elements, int index)
{
    if (index < 0 || static_cast<size_t>(index) >= elements.size())
        return nullptr;
    return &elements[static_cast<size_t>(index)];
}

// The same, except that a negative index appends a default element and returns it.
template <class T> T* ElementAtOrAppended(std::vector<T>& elements, int index)
{
    if (index < 0)
        return &elements.emplace_back();
    return const_cast<T*>(ElementAt(static_cast<const std::vector<T>&>(elements), index));
}
