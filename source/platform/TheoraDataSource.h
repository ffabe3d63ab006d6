#pragma once

#include <string>

// Where a video clip's bytes come from; the program implements it (over a file or a resource stream).
// The clip that is given a source owns it. Its calls come from the thread that creates or restarts the
// clip and from the video manager's worker, never from two threads at once.
class TheoraDataSource
{
public:
    virtual ~TheoraDataSource() = default;

    // Copies up to nBytes from the current position into output and moves past them; returns how many
    // were copied, 0 at the end (a negative count is taken as the end too).
    virtual int read(void* output, int nBytes) = 0;
    // A name for log lines, such as the file name.
    virtual std::string repr() const = 0;
    // Moves to the byte index from the start; an index past the end leaves nothing to read.
    virtual void seek(unsigned long byteIndex) = 0;
    virtual unsigned long size() const = 0;
    virtual unsigned long tell() const = 0;
};
