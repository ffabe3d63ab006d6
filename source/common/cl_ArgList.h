#pragma once

#include "common/IndexedAccess.h"
#include "common/cl_Argument.h"

#include <vector>

// An ordered, growable sequence of arguments held by value. Copies are deep.
class cl_ArgList
{
public:
    cl_ArgList() = default;
    cl_ArgList(const cl_ArgList&) = default;
    cl_ArgList& operator=(const cl_ArgList&) = default;
    cl_ArgList(cl_ArgList&&) noexcept = default;
    cl_ArgList& operator=(cl_ArgList&&) noexcept = default;
    virtual ~cl_ArgList() = default;

    int GetSize() const { return static_cast<int>(m_args.size()); }
    // Drops the arguments from count on, or appends empty ones up to count; those kept keep their values
    // and the room of the list stays, so a list refilled again and again allocates only once.
    void Resize(int count);

    // The argument at index, or null when index >= size (nothing logged). A negative index appends a new
    // empty argument and returns it: the way to add an element. Appending moves the elements, so a
    // pointer taken earlier is void after the next append; containers they hold do not move.
    cl_Argument* GetArg(int index) { return ElementAtOrAppended(m_args, index); }
    // The argument at index, or null when index is negative or past the end.
    const cl_Argument* GetArg(int index) const { return ElementAt(m_args, index); }

private:
    std::vector<cl_Argument> m_args;
};
